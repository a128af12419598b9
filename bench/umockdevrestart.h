#pragma once

// The benchmarks drive emulated USB units, which need the umockdev preload.

// Returns when the process runs under umockdev-wrapper; otherwise starts this
// program again under it, with the same arguments, and does not return.
void ensureUnderUmockdev(char **argv);
