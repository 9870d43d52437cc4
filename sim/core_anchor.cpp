// Keeps the simulator core library non-empty.
namespace hostsim { int coreAnchor = 0; }
