#ifndef OSTRA_CMDLINE_TOOL_OPTIONS_FOR_TEST_H_
#define OSTRA_CMDLINE_TOOL_OPTIONS_FOR_TEST_H_

#include <initializer_list>
#include <string>

#include "cmdline/argument.h"
#include "cmdline/command_line_parser.h"

/// The tool's three value options for the command-line framework's tests, which cannot link the
/// tool itself: /burnfile, /burnstring and /burnsn, each taking one value and defaulting to the
/// empty string. A test parser derives from it beside its parser class and calls AddTo once the
/// switches that come first are added, so that lookups and the usage text see the tool's order.
struct ToolOptionsForTest {
  ToolOptionsForTest() {
    for (ValueArg<std::string>* option : {&burnFile, &burnString, &burnSn})
      option->SetDefault("");
  }
  // A parser keeps pointers to the options: a copy would leave it reading the original's.
  ToolOptionsForTest(const ToolOptionsForTest&) = delete;
  ToolOptionsForTest& operator=(const ToolOptionsForTest&) = delete;

  /// Adds the three options to `parser` as named arguments, /burnfile, /burnstring, /burnsn.
  void AddTo(CommandLineParser& parser) {
    for (ValueArg<std::string>* option : {&burnFile, &burnString, &burnSn})
      parser.AddArgument(option);
  }

  ValueArg<std::string> burnFile{"burnfile", "File Name to Burn.", "value"};
  ValueArg<std::string> burnString{"burnstring", "String to search for in burnfile.", "value"};
  ValueArg<std::string> burnSn{"burnsn", "Serial Number to Burn.", "value"};
};

#endif  // OSTRA_CMDLINE_TOOL_OPTIONS_FOR_TEST_H_
