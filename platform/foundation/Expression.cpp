#include "platform/foundation/Expression.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <system_error>
#include <vector>

namespace foundation {

namespace {

// One step of the program: push a number, or apply an operation to the top of the stack.
enum class Kind { number, negate, add, subtract, multiply, divide, power, logarithm, function };
struct Step {
    Kind kind;
    double number = 0.0;
    std::string name;  // of a function step
};

}  // namespace

// The parsed text as a program in postfix order, run on a value stack, so that
// evaluating never recurses.
class Expression::Node {
public:
    std::vector<Step> steps;
    std::size_t maxStack = 0;
};

namespace {

// Recursive-descent reader of the expression format language, writing the program in
// postfix order. Depth counts every nested group, unary minus and right-hand side of
// "**"; beyond maxDepth the text is unreadable, so the reader never exhausts the stack.
// The first fault ends the reading: it is noted and the rest of the text skipped, so that
// every reading step returns at once (a text typed half-way is read at every key, and
// raising an exception for it costs time and memory).
class Reader {
public:
    Reader(std::string_view text, std::vector<Step>& steps) : text_(text), steps_(steps) {}

    // The fault that made the text unreadable; none when it was read whole.
    std::optional<std::string> readWhole() {
        skipBlanks();
        if (position_ >= text_.size()) fail("empty text");
        else readSum();
        skipBlanks();
        if (!fault_ && position_ < text_.size()) fail("unexpected character");
        return fault_;
    }

private:
    void fail(const char* what) {
        if (!fault_)
            fault_ = std::string("unreadable expression (") + what + " at offset " + std::to_string(position_) + ")";
        position_ = text_.size();
    }

    void skipBlanks() {
        while (position_ < text_.size() && (text_[position_] == ' ' || text_[position_] == '\t')) ++position_;
    }

    bool atChar(char c) {
        skipBlanks();
        return position_ < text_.size() && text_[position_] == c;
    }

    bool atPower() {
        skipBlanks();
        return position_ + 1 < text_.size() && text_[position_] == '*' && text_[position_ + 1] == '*';
    }

    // Whether the next character is `c` (then read); a fault otherwise.
    bool expect(char c, const char* what) {
        if (!atChar(c)) {
            fail(what);
            return false;
        }
        ++position_;
        return true;
    }

    struct Deeper {
        explicit Deeper(Reader& reader) : reader_(reader) {
            if (++reader_.depth_ > Expression::maxDepth) reader_.fail("nesting too deep");
        }
        ~Deeper() { --reader_.depth_; }
        Deeper(const Deeper&) = delete;
        Deeper& operator=(const Deeper&) = delete;
        Reader& reader_;
    };

    void emit(Kind kind) { steps_.push_back({kind, 0.0, {}}); }

    void readSum() {
        readProduct();
        while (!fault_) {
            if (atChar('+')) {
                ++position_;
                readProduct();
                emit(Kind::add);
            } else if (atChar('-')) {
                ++position_;
                readProduct();
                emit(Kind::subtract);
            } else {
                return;
            }
        }
    }

    void readProduct() {
        readPower();
        while (!fault_) {
            if (atChar('*')) {
                ++position_;
                readPower();
                emit(Kind::multiply);
            } else if (atChar('/')) {
                ++position_;
                readPower();
                emit(Kind::divide);
            } else {
                return;
            }
        }
    }

    // power := unary ("**" power)?  — right-associative.
    void readPower() {
        readUnary();
        if (atPower()) {
            position_ += 2;
            Deeper deeper(*this);
            if (fault_) return;
            readPower();
            emit(Kind::power);
        }
    }

    // unary := "-" unary | primary  — binds tighter than "**".
    void readUnary() {
        if (atChar('-')) {
            ++position_;
            Deeper deeper(*this);
            if (fault_) return;
            readUnary();
            emit(Kind::negate);
            return;
        }
        readPrimary();
    }

    bool atWord(std::string_view word) {
        skipBlanks();
        return text_.substr(position_, word.size()) == word;
    }

    void readPrimary() {
        skipBlanks();
        if (position_ >= text_.size()) return fail("missing operand");
        const char c = text_[position_];
        if (c == '(') {
            ++position_;
            Deeper deeper(*this);
            if (fault_) return;
            readSum();
            expect(')', "missing \")\"");
            return;
        }
        if (c >= '0' && c <= '9') {
            readNumber();
            return;
        }
        if (atWord("FUNCTION")) {
            position_ += 8;
            if (!expect('(', "missing \"(\" after FUNCTION")) return;
            Deeper deeper(*this);
            if (fault_) return;
            readSum();
            if (fault_ || !expect(',', "missing \",\" in FUNCTION") || !expect('\'', "missing function name")) return;
            const std::size_t start = position_;
            while (position_ < text_.size() && isNameCharacter(text_[position_])) ++position_;
            if (position_ == start) return fail("empty function name");
            std::string name(text_.substr(start, position_ - start));
            if (position_ >= text_.size() || text_[position_] != '\'') return fail("unterminated function name");
            ++position_;
            if (!expect(')', "missing \")\" after FUNCTION")) return;
            steps_.push_back({Kind::function, 0.0, std::move(name)});
            return;
        }
        if (atWord("log")) {
            position_ += 3;
            if (!expect('(', "missing \"(\" after log")) return;
            Deeper deeper(*this);
            if (fault_) return;
            readSum();
            if (!fault_ && expect(')', "missing \")\" after log")) emit(Kind::logarithm);
            return;
        }
        fail("missing operand");
    }

    static bool isNameCharacter(char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ':';
    }

    static bool isDigit(char c) { return c >= '0' && c <= '9'; }

    // digits [ "." digits ] [ ("e"|"E") ["+"|"-"] digits ]
    void readNumber() {
        const std::size_t start = position_;
        while (position_ < text_.size() && isDigit(text_[position_])) ++position_;
        if (position_ < text_.size() && text_[position_] == '.') {
            ++position_;
            const std::size_t fraction = position_;
            while (position_ < text_.size() && isDigit(text_[position_])) ++position_;
            if (position_ == fraction) return fail("number without fraction digits");
        }
        if (position_ < text_.size() && (text_[position_] == 'e' || text_[position_] == 'E')) {
            ++position_;
            if (position_ < text_.size() && (text_[position_] == '+' || text_[position_] == '-')) ++position_;
            const std::size_t exponent = position_;
            while (position_ < text_.size() && isDigit(text_[position_])) ++position_;
            if (position_ == exponent) return fail("number without exponent digits");
        }
        const std::string_view literal = text_.substr(start, position_ - start);
        double value = 0.0;
        const auto result = std::from_chars(literal.data(), literal.data() + literal.size(), value);
        if (result.ec == std::errc::result_out_of_range) {
            value = overflows(literal) ? std::numeric_limits<double>::infinity() : 0.0;
        } else if (result.ec != std::errc() || result.ptr != literal.data() + literal.size()) {
            return fail("bad number");
        }
        steps_.push_back({Kind::number, value, {}});
    }

    // Whether an out-of-range literal is too large (rather than too small) for a double.
    static bool overflows(std::string_view literal) {
        long long order = 0;
        std::size_t i = 0;
        bool significant = false;
        while (i < literal.size() && isDigit(literal[i])) {
            if (literal[i] != '0') significant = true;
            if (significant) ++order;
            ++i;
        }
        if (i < literal.size() && literal[i] == '.') {
            ++i;
            while (i < literal.size() && isDigit(literal[i])) {
                if (significant) break;
                if (literal[i] != '0') {
                    significant = true;
                    break;
                }
                --order;
                ++i;
            }
        }
        const std::size_t e = literal.find_first_of("eE");
        if (e != std::string_view::npos) {
            long long exponent = 0;
            std::size_t k = e + 1;
            bool negative = false;
            if (k < literal.size() && (literal[k] == '+' || literal[k] == '-')) negative = literal[k++] == '-';
            for (; k < literal.size(); ++k) {
                if (exponent < 1000000000LL) exponent = exponent * 10 + (literal[k] - '0');
            }
            order += negative ? -exponent : exponent;
        }
        return order > 0;
    }

    std::string_view text_;
    std::vector<Step>& steps_;
    std::size_t position_ = 0;
    int depth_ = 0;
    std::optional<std::string> fault_;
};

}  // namespace

Expression::Expression(const std::string& format) : Expression(format, nullptr) {
    if (!root_) throw ExpressionException(fault_);
}

std::optional<Expression> Expression::read(const std::string& format) {
    Expression expression(format, nullptr);
    if (!expression.root_) return std::nullopt;
    return expression;
}

Expression::Expression(const std::string& format, std::nullptr_t) : root_(std::make_unique<Node>()) {
    Reader reader(format, root_->steps);
    if (auto fault = reader.readWhole()) {
        fault_ = std::move(*fault);
        root_.reset();
        return;
    }
    std::size_t height = 0;
    for (const Step& step : root_->steps) {
        switch (step.kind) {
        case Kind::number:
            ++height;
            break;
        case Kind::add:
        case Kind::subtract:
        case Kind::multiply:
        case Kind::divide:
        case Kind::power:
            --height;
            break;
        default:
            break;
        }
        if (height > root_->maxStack) root_->maxStack = height;
    }
}

Expression::~Expression() = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;

double Expression::evaluate(const FunctionTable& functions, bool* nonFiniteOnTheWay) const {
    if (!root_) throw ExpressionException("unreadable expression (no expression)");
    std::vector<double> stack;
    stack.reserve(root_->maxStack);
    bool nonFinite = false;
    for (const Step& step : root_->steps) {
        if (!stack.empty() && !std::isfinite(stack.back())) nonFinite = true;
        switch (step.kind) {
        case Kind::number:
            stack.push_back(step.number);
            continue;
        case Kind::negate:
            stack.back() = -stack.back();
            continue;
        case Kind::logarithm:
            stack.back() = std::log10(stack.back());
            continue;
        case Kind::function: {
            std::optional<double> result;
            if (functions) result = functions(step.name, stack.back());
            if (!result) throw ExpressionException("unknown function '" + step.name + "'");
            stack.back() = *result;
            continue;
        }
        default:
            break;
        }
        const double right = stack.back();
        stack.pop_back();
        double& left = stack.back();
        switch (step.kind) {
        case Kind::add:
            left = left + right;
            break;
        case Kind::subtract:
            left = left - right;
            break;
        case Kind::multiply:
            left = left * right;
            break;
        case Kind::divide:
            left = left / right;
            break;
        case Kind::power:
            left = std::pow(left, right);
            break;
        default:
            break;
        }
    }
    if (nonFiniteOnTheWay) *nonFiniteOnTheWay = nonFinite || !std::isfinite(stack.back());
    return stack.back();
}

}  // namespace foundation
