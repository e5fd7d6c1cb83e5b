#pragma once
// The program's two kinds of failure.
//  - EOrvaError: the general error. Its text is what the user sees in the error box.
//  - EAssertFailure: an internal consistency failure (a state the enabling rules exclude,
//    a bad argument to an internal routine). Its text names the unit and the line:
//    "Assertion failure (UFitsBess, line 123)".
#include <stdexcept>
#include <string>

class EOrvaError : public std::runtime_error {
public:
  explicit EOrvaError(const std::string &Msg) : std::runtime_error(Msg) {}
};

class EAssertFailure : public std::logic_error {
public:
  EAssertFailure(const std::string &Unit, int Line);
  // For the "ClassName.Method: UE" texts.
  explicit EAssertFailure(const std::string &Text);
};

// Raises the internal consistency failure naming this unit and line.
// Each .cpp defines ORVA_UNIT as its unit name (for example "UFitsBess") before use.
[[noreturn]] void OrvaAssertFail(const char *Unit, int Line);
[[noreturn]] void OrvaRaise(const std::string &Msg);
// "ClassName.Method: UE"
[[noreturn]] void OrvaRaiseUE(const std::string &ClassDotMethod);

#define ORVA_ASSERT(cond)                                                                                    \
  do {                                                                                                       \
    if (!(cond)) OrvaAssertFail(ORVA_UNIT, __LINE__);                                                        \
  } while (0)
