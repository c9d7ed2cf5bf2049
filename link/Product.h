#pragma once
// The program's identity: the title it shows and finds its other instance by, the version text, and the
// address a network unit answers on out of the box.

inline constexpr char PROGRAM_TITLE[] = "the Velmora Korvane DSP Processor Editor";
inline constexpr char PROGRAM_VERSION[] = "V1.0";
// A private-range address.
inline constexpr char DEFAULT_DEVICE_IP[] = "192.168.1.100";
