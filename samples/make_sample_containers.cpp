// Writes sample stream containers for the demo and the benchmark.
//
//   make-sample-containers demo DIR         music.str (12 entries) and
//                                           broken.str (wrong magic) in DIR
//   make-sample-containers entries N FILE   a container of N entries

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "samples/container_builder.h"

namespace {

using brimwald::samples::ContainerBuilder;
using brimwald::samples::SampleEntries;
using brimwald::samples::TestEntry;

void WriteDemo(const std::string& dir) {
  std::filesystem::create_directories(dir);
  std::vector<TestEntry> entries = {
      {"music/title.wav", "hdr-title", "body of the title theme"},
      {"music/battle.wav", "hdr-battle", "body of the battle theme"},
      {"music/town_night.wav", "hdr-town", "body of the night town theme"},
      {"sfx/door_open.wav", "hdr-door", "creak"},
      {"sfx/door_close.wav", "hdr-door", "slam"},
      {"sfx/footstep_stone.wav", "hdr-step", "tap"},
      {"sfx/ui/click.wav", "hdr-ui", "click"},
      {"sfx/ui/confirm.wav", "hdr-ui", "ding"},
      {"voice/en/intro_01.wav", "hdr-voice", "Welcome, traveller."},
      {"voice/en/intro_02.wav", "hdr-voice", "The road is long."},
      {"ambience/forest", "hdr-amb", "birdsong"},
      {"jingle", "", "a stream with an empty header"},
  };
  ContainerBuilder::WithEntries(entries).WriteTo(dir + "/music.str");
  ContainerBuilder::WithEntries(SampleEntries(3))
      .Magic("ZEQSNDSTREAX")
      .WriteTo(dir + "/broken.str");
}

int Usage() {
  std::cerr << "usage: make-sample-containers demo DIR\n"
               "       make-sample-containers entries N FILE\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    std::string command = argc > 1 ? argv[1] : "";
    if (command == "demo" && argc == 3) {
      WriteDemo(argv[2]);
      return 0;
    }
    if (command == "entries" && argc == 4) {
      int count = std::atoi(argv[2]);
      if (count < 0) return Usage();
      ContainerBuilder::WithEntries(SampleEntries(count)).WriteTo(argv[3]);
      return 0;
    }
    return Usage();
  } catch (const std::exception& error) {
    std::cerr << "make-sample-containers: " << error.what() << '\n';
    return 1;
  }
}
