// A harmless DLL that the DLL-search test places beside the test program.
extern "C" __declspec(dllexport) int QvPlantedProbe() { return 42; }
