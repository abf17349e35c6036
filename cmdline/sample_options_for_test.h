#ifndef OSTRA_CMDLINE_SAMPLE_OPTIONS_FOR_TEST_H_
#define OSTRA_CMDLINE_SAMPLE_OPTIONS_FOR_TEST_H_

#include <initializer_list>
#include <string>

#include "cmdline/argument.h"
#include "cmdline/command_line_parser.h"

/// Three value options for the command-line framework's own tests, as a program built on it would
/// declare them: /input, /key and /note, each taking one value and defaulting to the empty string.
/// A test parser derives from it beside its parser class and calls AddTo once the switches that
/// come first are added, so that lookups and the usage text see them in that order.
struct SampleOptions {
  SampleOptions() {
    for (ValueArg<std::string>* option : {&input, &key, &note})
      option->SetDefault("");
  }
  // A parser keeps pointers to the options: a copy would leave it reading the original's.
  SampleOptions(const SampleOptions&) = delete;
  SampleOptions& operator=(const SampleOptions&) = delete;

  /// Adds the three options to `parser` as named arguments, /input, /key, /note.
  void AddTo(CommandLineParser& parser) {
    for (ValueArg<std::string>* option : {&input, &key, &note})
      parser.AddArgument(option);
  }

  ValueArg<std::string> input{"input", "Input file.", "value"};
  ValueArg<std::string> key{"key", "Key to look up.", "value"};
  ValueArg<std::string> note{"note", "Note to add.", "value"};
};

#endif  // OSTRA_CMDLINE_SAMPLE_OPTIONS_FOR_TEST_H_
