// Holds the precompiled header the test binaries share; never run.
int main() { return 0; }
