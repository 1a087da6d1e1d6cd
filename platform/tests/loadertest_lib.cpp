// A library with one exported function, for the loader's tests.
extern "C" __attribute__((visibility("default"))) int LoaderTestAnswer() { return 42; }
