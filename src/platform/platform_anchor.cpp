// Translation unit that anchors the stand-in platform library.
