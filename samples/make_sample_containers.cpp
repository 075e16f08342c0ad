// Writes sample stream containers for the demo and the benchmark.
//
//   make-sample-containers demo DIR         music.str (12 entries) and
//                                           broken.str (wrong magic) in DIR
//   make-sample-containers entries N FILE   a container of N entries
//   make-sample-containers tree N FILE      N entries of a few hundred bytes
//                                           in 100 folders
//   make-sample-containers large N MB FILE  N entries with MB-megabyte bodies

#include <algorithm>
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

// Like a game's sound folder: short streams spread over 100 folders.
std::vector<TestEntry> TreeEntries(int count) {
  std::vector<TestEntry> entries;
  entries.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    entries.push_back({"folder" + std::to_string(i % 100) + "/stream" +
                           std::to_string(i) + ".wav",
                       std::string(static_cast<size_t>(100 + i % 200), 'h'),
                       std::string(static_cast<size_t>(200 + i % 200), 'b')});
  }
  return entries;
}

std::vector<TestEntry> LargeEntries(int count, size_t megabytes) {
  std::vector<TestEntry> entries;
  for (int i = 0; i < count; ++i) {
    entries.push_back({"music/theme" + std::to_string(i) + ".wav",
                       std::string(64, 'h'),
                       std::string(megabytes * 1000 * 1000,
                                   static_cast<char>('a' + i % 26))});
  }
  return entries;
}

int Usage() {
  std::cerr << "usage: make-sample-containers demo DIR\n"
               "       make-sample-containers entries N FILE\n"
               "       make-sample-containers tree N FILE\n"
               "       make-sample-containers large N MB FILE\n";
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
    int count = argc > 2 ? std::atoi(argv[2]) : -1;
    if (count < 0) return Usage();
    if (command == "entries" && argc == 4) {
      ContainerBuilder::WithEntries(SampleEntries(count)).WriteTo(argv[3]);
      return 0;
    }
    if (command == "tree" && argc == 4) {
      ContainerBuilder::WithEntries(TreeEntries(count)).WriteTo(argv[3]);
      return 0;
    }
    if (command == "large" && argc == 5) {
      auto megabytes = static_cast<size_t>(std::max(0, std::atoi(argv[3])));
      ContainerBuilder::WithEntries(LargeEntries(count, megabytes))
          .WriteTo(argv[4]);
      return 0;
    }
    return Usage();
  } catch (const std::exception& error) {
    std::cerr << "make-sample-containers: " << error.what() << '\n';
    return 1;
  }
}
