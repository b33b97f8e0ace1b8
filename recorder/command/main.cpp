#include <string>
#include <vector>

#include "playback/MemoryReuse.h"
#include "recorder/command/Recorder.h"

int main(int argc, char** argv) {
  zorvel::keepFreedMemoryForReuse();
  return zorvel::runRecorder(std::vector<std::string>(argv + 1, argv + argc));
}
