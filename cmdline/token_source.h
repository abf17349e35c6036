#ifndef OSTRA_CMDLINE_TOKEN_SOURCE_H_
#define OSTRA_CMDLINE_TOKEN_SOURCE_H_

#include <string>

/// Hands a walk its tokens one at a time, so that a long argument file costs no more than its text.
class TokenSource {
 public:
  virtual ~TokenSource() = default;
  /// Stores the next token in *token; false when there is none left.
  virtual bool Next(std::string* token) = 0;
};

#endif  // OSTRA_CMDLINE_TOKEN_SOURCE_H_
