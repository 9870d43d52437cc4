namespace kvgeom_detail { int anchor = 0; }
