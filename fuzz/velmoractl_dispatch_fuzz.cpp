// Arbitrary velmoractl command lines: the input is split at NUL bytes into arguments and
// handed to the verb dispatch only, which names a verb without running it. Dispatch never
// crashes, and what it finds is what was given: a verb of the table whose words began the
// command (after the --log option), followed by the rest of the arguments.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/verb_dispatch.h"
#include "fuzz/fuzz_input.h"

namespace {

size_t WordCount(std::string_view words) {
  return words.find(' ') == std::string_view::npos ? 1 : 2;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> args = fuzzing::SplitArguments(data, size);
  using Kind = velmoractl::Invocation::Kind;
  const velmoractl::Invocation invocation = velmoractl::parseInvocation(args);
  if (invocation.kind == Kind::UsageError) {
    fuzzing::Require(!invocation.error.empty());
    return 0;
  }
  const size_t log = invocation.log == velmoractl::Invocation::Log::Unchanged ? 0 : 2;
  if (invocation.kind == Kind::Help) {
    fuzzing::Require(invocation.helpAsked ? args.size() > log : args.size() == log);
    return 0;
  }
  bool known = false;
  for (const velmoractl::Verb& verb : velmoractl::verbs()) known |= &verb == invocation.verb;
  fuzzing::Require(known);
  const size_t help = invocation.kind == Kind::VerbHelp ? 1 : 0;
  fuzzing::Require(invocation.args.size() + WordCount(invocation.verb->words) + log + help ==
                   args.size());
  return 0;
}
