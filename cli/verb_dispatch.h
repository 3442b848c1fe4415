// velmoractl's command line taken apart: the global options, then the verb its first words
// name, with the arguments left for the verb. Nothing runs here, so that the dispatch can be
// tested and fuzzed without a bus or files.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "cli/cli_support.h"

namespace velmoractl {

struct Verb {
  std::string_view words;  // one or two words
  std::string_view usage;
  std::string_view description;
  int (*run)(Args);
};

// Every verb, in the order of the help text.
std::span<const Verb> verbs();

struct Invocation {
  enum class Kind {
    Help,        // the overview: asked for (exit 0), or no command given (exit 2)
    VerbHelp,    // VERB --help
    RunVerb,     // run `verb` with `args`
    UsageError,  // `error` says what is wrong
  };
  enum class Log { Unchanged, File, Console };

  Kind kind = Kind::Help;
  Log log = Log::Unchanged;
  bool helpAsked = false;  // Help: asked for, not for want of a command
  const Verb* verb = nullptr;
  Args args;
  std::string error;
};

// What the arguments after the program name ask for.
Invocation parseInvocation(Args args);

}  // namespace velmoractl
