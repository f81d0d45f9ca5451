// Placeholder until the library's first sources land.
