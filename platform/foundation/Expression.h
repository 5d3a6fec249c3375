#pragma once

#include <functional>
#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace foundation {

// The one exception type of the expression evaluator: text it cannot read.
class ExpressionException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The phone's expression evaluator for the expression format language:
//   decimal literals (digits, optional fraction, optional exponent: 3.0, 1e-05, 2, .5 is not read),
//   binary + - * / and ** (highest), unary minus, parentheses,
//   FUNCTION(operand,'name') calling a named function of one argument,
//   log(x), the base-10 logarithm.
// Precedence: unary minus above ** above * / above + -; ** is right-associative
// (2**3**2 = 512), and -2.0**2 is (-2.0)**2 = 4, as a negative number line reads on
// the display. All arithmetic is IEEE double: 1.0/0.0 is +inf.
// Nesting deeper than maxDepth, empty operands and trailing operators make the text
// unreadable; unknown function names fail its evaluation. Both raise ExpressionException.
class Expression {
public:
    // Answers a named function for an argument; none when the name is unknown.
    using FunctionTable = std::function<std::optional<double>(const std::string& name, double argument)>;

    static constexpr int maxDepth = 200;

    // Parses the whole text; raises ExpressionException when it cannot read it.
    explicit Expression(const std::string& format);
    // Parses the whole text; none when it cannot read it (nothing is raised).
    static std::optional<Expression> read(const std::string& format);
    ~Expression();
    Expression(Expression&&) noexcept;
    Expression& operator=(Expression&&) noexcept;

    // Evaluates; raises ExpressionException for a function name the table does not know.
    // When `nonFiniteOnTheWay` is given, it tells whether any value on the way (a literal, a
    // function's answer or the result of an operation) was infinite or not a number, also
    // when a later operation brought the value back (1.0/(1.0/0.0) is 0).
    double evaluate(const FunctionTable& functions, bool* nonFiniteOnTheWay = nullptr) const;

private:
    // Parses the whole text; no root and the fault when it cannot read it.
    Expression(const std::string& format, std::nullptr_t);

    class Node;
    std::unique_ptr<Node> root_;
    std::string fault_;
};

}  // namespace foundation
