namespace kvmodule_detail { int anchor = 0; }
