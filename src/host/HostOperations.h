#pragma once

#include <cstdint>

// The engine's only door for its hosts: the JNI entry points of the desktop application and
// the command-line runner make these calls, in this order for every run: setCapturePaths
// (optional), readFile, startSimulation; getSimulationInfo and stopSimulation may come from
// other threads at any time.
//
// Errors are thrown: netsim::Exception for engine errors (message, function, file, line), any
// other std::exception as it is. readFile closes the run in the results database before it
// throws; startSimulation always destroys the engine context before it returns or throws.

namespace netsim::host {

struct SimulationInfo {
    double elapsedTime = 0.0;     // seconds of simulated time
    int64_t droppedFrames = 0;
    int64_t eventsProcessed = 0;
};

// Creates a fresh engine context, opens the results database and loads the topology file.
// Null paths fail with "aORVOFilePath is NULL!" / "aDBPath is NULL!". Only the low 32 bits of
// the seed are used; 0 draws one.
bool readFile(const char* orvoPath, const char* dbPath, int64_t seed, bool discardTasks, int32_t currentRun,
              int32_t maxRunCount);

// Runs the loaded model; endTime <= 0 runs to five times the longest cyclic period.
void startSimulation(double endTime);

// Live values while a run goes on, else those of the last successful run.
SimulationInfo getSimulationInfo();

// Asks the running (or next) simulation to stop at its next poll.
void stopSimulation();

// ';'-separated capture directories; null leaves the list as it is.
void setCapturePaths(const char* paths);

}  // namespace netsim::host
