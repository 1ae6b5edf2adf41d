#!/bin/sh
# Strips a program for the package as Debian's own tools do: symbols and debugging data, and
# the compiler's version notes (.comment), which no one needs at run time.
exec strip --remove-section=.comment --remove-section=.note "$@"
