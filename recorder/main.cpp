#include <string>
#include <vector>

#include "recorder/Recorder.h"

int main(int argc, char** argv) { return zorvel::runRecorder(std::vector<std::string>(argv + 1, argv + argc)); }
