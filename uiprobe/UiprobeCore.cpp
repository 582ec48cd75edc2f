// The capture program's units are compiled into one library; this file
// keeps the library well-formed while it has no other unit.
