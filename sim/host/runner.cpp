// Loads a plug-in into the stand-in host and drives it through one scenario:
//   runner.exe SCENARIO path\to\plugin.asi
extern "C" __declspec(dllimport) int sim_runner_main(int argc, char** argv);

int main(int argc, char** argv) { return sim_runner_main(argc, argv); }
