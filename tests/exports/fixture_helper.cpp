// A plain DLL for fixture_foreign_import to depend on.
extern "C" __declspec(dllexport) int fixtureHelper() { return 7; }
