#include "core/UErrors.h"

EAssertFailure::EAssertFailure(const std::string &Unit, int Line)
    : std::logic_error("Assertion failure (" + Unit + ", line " + std::to_string(Line) + ")") {}

EAssertFailure::EAssertFailure(const std::string &Text) : std::logic_error(Text) {}

void OrvaAssertFail(const char *Unit, int Line) { throw EAssertFailure(Unit, Line); }

void OrvaRaise(const std::string &Msg) { throw EOrvaError(Msg); }

void OrvaRaiseUE(const std::string &ClassDotMethod) { throw EAssertFailure(ClassDotMethod + ": UE"); }
