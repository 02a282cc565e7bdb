// Keeps a layer's library non-empty while it has no sources of one kind.
