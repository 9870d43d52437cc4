#include <cstdio>
int main() { std::puts("hostsim: not built yet"); return 0; }
