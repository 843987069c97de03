// TMathParser: the formula component of the action options dialog. It keeps a formula text and
// the two events through which a formula would ask for its variables and report errors; no
// formula is evaluated through it, so it never calls them itself.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "platform/vcl/classes.h"

namespace orvex {

/// Asks for the value of a variable: the handler sets `value` and `found`.
using TGetVarEvent =
    std::function<void(vcl::TObject* Sender, const std::string& VarName, long double& Value, bool& Found)>;
using TParseErrorEvent = std::function<void(vcl::TObject* Sender, int32_t ParseError)>;

class TMathParser : public vcl::TComponent {
public:
    explicit TMathParser(vcl::TComponent* owner) : vcl::TComponent(owner) {}

    const std::string& ParseString() const { return m_parseString; }
    void SetParseString(std::string parseString) { m_parseString = std::move(parseString); }

    TGetVarEvent OnGetVar;
    TParseErrorEvent OnParseError;

private:
    std::string m_parseString;
};

}  // namespace orvex
