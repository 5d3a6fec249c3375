#include "engine/ExpressionTranslator.h"

#include "platform/foundation/Characters.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

namespace ostrelo {

namespace {

// The text as a sequence of user-perceived characters. A character made of one code
// point is that code point; any other (a cluster of several code points, or a byte
// that is not UTF-8) is a code above U+10FFFF that indexes `clusters`.
struct CharacterText {
    std::vector<char32_t> characters;
    std::vector<std::string> clusters;
};

using Characters = std::vector<char32_t>;

constexpr char32_t firstClusterCode = 0x110000;

constexpr char32_t minusSign = U'\u2212';
constexpr char32_t timesSign = U'\u00D7';
constexpr char32_t divisionSign = U'\u00F7';
constexpr char32_t rootSign = U'\u221A';
constexpr char32_t squaredSign = U'\u00B2';
constexpr char32_t percentMarker = U'\u00A7';
constexpr char32_t lnSign = U'\u33D1';

// Longer texts are refused (the translation is then empty, which the evaluator cannot
// read): a calculation never comes near this, and chained percentages double the text.
constexpr std::size_t maxInputCharacters = 10000;
constexpr std::size_t maxFormatCharacters = 100000;
// Each factorial walks back over its operand; the walks together are bounded, so that
// factorials nested around a long text stay cheap. Texts that reach the bound nest their
// factorials about as deep as the evaluator reads, or deeper.
constexpr std::size_t maxFactorialOperandCharacters = 20000000;

char32_t decodeSingle(std::string_view cluster) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(cluster[i]); };
    const std::size_t n = cluster.size();
    if (n == 1 && byte(0) < 0x80) return byte(0);
    if (n == 2 && byte(0) >= 0xC2 && byte(0) <= 0xDF) return ((byte(0) & 0x1Fu) << 6) | (byte(1) & 0x3Fu);
    if (n == 3 && (byte(0) & 0xF0) == 0xE0) {
        const char32_t c = ((byte(0) & 0x0Fu) << 12) | ((byte(1) & 0x3Fu) << 6) | (byte(2) & 0x3Fu);
        if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF) && (byte(1) & 0xC0) == 0x80 && (byte(2) & 0xC0) == 0x80)
            return c;
    }
    if (n == 4 && (byte(0) & 0xF8) == 0xF0) {
        const char32_t c = ((byte(0) & 0x07u) << 18) | ((byte(1) & 0x3Fu) << 12) | ((byte(2) & 0x3Fu) << 6) |
                           (byte(3) & 0x3Fu);
        if (c >= 0x10000 && c <= 0x10FFFF && (byte(1) & 0xC0) == 0x80 && (byte(2) & 0xC0) == 0x80 &&
            (byte(3) & 0xC0) == 0x80)
            return c;
    }
    return firstClusterCode;  // not a single code point
}

bool isAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }

// Whether two ASCII characters start at `i`: the first is then a character of its own (unless
// it is the CR of a CR LF), whatever comes before it or after the second.
bool asciiPairAt(const std::string& text, std::size_t i) {
    return isAscii(text[i]) && (i + 1 == text.size() || isAscii(text[i + 1]));
}

void appendCluster(CharacterText& result, std::string cluster) {
    const char32_t single = decodeSingle(cluster);
    if (single < firstClusterCode) {
        result.characters.push_back(single);
    } else {
        result.characters.push_back(firstClusterCode + static_cast<char32_t>(result.clusters.size()));
        result.clusters.push_back(std::move(cluster));
    }
}

// The characters of `text`, or its first `limit` + 1 when it has more. Plain ASCII stretches
// (every calculation of numbers and operators) are taken byte by byte; the rest in stretches
// that end before two ASCII characters, which the break rules always separate.
CharacterText toCharacters(const std::string& text, std::size_t limit = std::string::npos) {
    CharacterText result;
    result.characters.reserve(std::min(text.size(), limit));
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n && result.characters.size() <= limit) {
        const bool crlf = text[i] == '\r' && i + 1 < n && text[i + 1] == '\n';
        if (asciiPairAt(text, i) && !crlf) {
            result.characters.push_back(static_cast<char32_t>(text[i]));
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < n && !asciiPairAt(text, end)) ++end;
        if (end < n) ++end;  // the stretch ends with the ASCII character that follows it
        if (end < n && text[end - 1] == '\r' && text[end] == '\n') ++end;
        for (std::string& cluster : foundation::Characters::split(std::string_view(text).substr(i, end - i)))
            appendCluster(result, std::move(cluster));
        i = end;
    }
    return result;
}

std::string toText(const Characters& characters, const std::vector<std::string>& clusters) {
    std::string out;
    out.reserve(characters.size() + characters.size() / 2);
    for (char32_t c : characters) {
        if (c >= firstClusterCode)
            out += clusters[c - firstClusterCode];
        else
            foundation::Characters::appendUtf8(out, c);
    }
    return out;
}

void append(Characters& text, std::u32string_view literal) { text.insert(text.end(), literal.begin(), literal.end()); }

void append(Characters& text, const Characters& from, std::size_t begin, std::size_t end) {
    text.insert(text.end(), from.begin() + static_cast<std::ptrdiff_t>(begin), from.begin() + static_cast<std::ptrdiff_t>(end));
}

bool contains(const Characters& text, char32_t c) {
    for (char32_t x : text)
        if (x == c) return true;
    return false;
}

bool matchesAt(const Characters& text, std::size_t at, std::u32string_view word) {
    if (at + word.size() > text.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (text[at + k] != word[k]) return false;
    return true;
}

// Stage 1: "1.0/0.0" (an infinite value) for unbalanced parentheses, unless open
// ones may be closed automatically. Returns false for that outcome.
bool balanceParentheses(Characters& text, bool autoParenthesis) {
    long open = 0;
    for (char32_t c : text) {
        if (c == U'(') ++open;
        if (c == U')' && --open < 0) return false;
    }
    if (open > 0) {
        if (!autoParenthesis) return false;
        text.insert(text.end(), static_cast<std::size_t>(open), U')');
    }
    return true;
}

bool isPercentStop(char32_t c) {
    return c == minusSign || c == U'+' || c == timesSign || c == divisionSign || c == U'(';
}

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// Whether the "+" at `at` is the sign of an exponent (1e+16): it follows an "e" or "E"
// that follows a digit, and so belongs to the number.
bool isExponentSign(const Characters& text, std::size_t at) {
    return text[at] == U'+' && at >= 2 && (text[at - 1] == U'e' || text[at - 1] == U'E') && isDigit(text[at - 2]);
}

// The index of the "(" that the ")" at `close` closes, counting back; npos when none does.
std::size_t openingParenthesis(const Characters& text, std::size_t close) {
    long depth = 0;
    for (std::size_t j = close + 1; j > 0;) {
        --j;
        if (text[j] == U')') ++depth;
        if (text[j] == U'(' && --depth == 0) return j;
    }
    return static_cast<std::size_t>(-1);
}

// The start of the percent operand at the end of text[0, end): the last character, and
// everything in front of it back to the nearest operator or "(". A ")" met on the way
// (the last character included) takes the whole group it closes, so a group followed by
// a postfix symbol and a function name in front of a group belong to the operand; an
// exponent's sign belongs to its number. Empty text gives an empty operand.
std::size_t percentOperandStart(const Characters& text, std::size_t end) {
    if (end == 0) return 0;
    std::size_t p = end - 1;  // text[p] belongs to the operand
    for (;;) {
        if (text[p] == U')') {
            p = openingParenthesis(text, p);
            if (p == static_cast<std::size_t>(-1)) return 0;
        }
        if (p == 0) return 0;
        --p;
        if (isPercentStop(text[p]) && !isExponentSign(text, p)) return p + 1;
    }
}

// Stage 2: every "%" becomes a division by 100 of its operand; after "+" or "−" the
// percentage is taken of the operand in front of that sign.
bool replacePercent(Characters& text) {
    if (!contains(text, U'%')) return true;
    Characters out;
    out.reserve(text.size() * 2);
    Characters tail;
    for (char32_t c : text) {
        if (c != U'%') {
            out.push_back(c);
            continue;
        }
        const std::size_t end = out.size();
        const std::size_t b = percentOperandStart(out, end);
        tail.clear();
        std::size_t keep = b;  // out[0, keep) stays as it is
        if (b > 0 && (out[b - 1] == U'+' || out[b - 1] == minusSign)) {
            const char32_t op = out[b - 1];
            const std::size_t a = percentOperandStart(out, b - 1);
            keep = a;
            const bool afterSubtraction = a > 0 && out[a - 1] == minusSign;
            if (!afterSubtraction) tail.push_back(U'(');
            append(tail, out, a, b - 1);
            tail.push_back(op);
            tail.push_back(U'(');
            append(tail, out, a, b - 1);
            tail.push_back(U'*');
            append(tail, out, b, end);
            tail.push_back(percentMarker);
            tail.push_back(U')');
            if (!afterSubtraction) tail.push_back(U')');
        } else {
            tail.push_back(U'(');
            append(tail, out, b, end);
            tail.push_back(percentMarker);
            tail.push_back(U')');
        }
        out.resize(keep);
        out.insert(out.end(), tail.begin(), tail.end());
        if (out.size() > maxFormatCharacters) return false;
    }
    text.swap(out);
    return true;
}

struct FunctionRow {
    std::u32string_view token;
    std::u32string_view degreeName;
    std::u32string_view radianName;
};

constexpr FunctionRow functionRows[] = {
    {U"sin(", U"sine", U"radiant_sine"},
    {U"cos(", U"cosine", U"radiant_cosine"},
    {U"tan(", U"tangent", U"radiant_tangent"},
    {U"sin\u207B\u00B9(", U"arcsine", U"radiant_arcsine"},
    {U"cos\u207B\u00B9(", U"arccosine", U"radiant_arccosine"},
    {U"tan\u207B\u00B9(", U"arctangent", U"radiant_arctangent"},
    {U"\u33D1(", U"ln", U"ln"},
    {U"\u221A(", U"squareroot", U"squareroot"},
    {U"sinh(", U"hypsine", U"hypsine"},
    {U"cosh(", U"hypcosine", U"hypcosine"},
    {U"tanh(", U"hyptangent", U"hyptangent"},
    {U"sinh\u207B\u00B9(", U"archypsine", U"archypsine"},
    {U"cosh\u207B\u00B9(", U"archypcosine", U"archypcosine"},
    {U"tanh\u207B\u00B9(", U"archyptangent", U"archyptangent"},
};

// Stage 3, one row: every call token becomes FUNCTION(argument,'name'), the argument
// running to the ")" that closes the token's own "(".
void replaceFunctionToken(Characters& text, std::u32string_view token, std::u32string_view name) {
    bool present = false;
    for (std::size_t i = 0; i < text.size() && !present; ++i) present = matchesAt(text, i, token);
    if (!present) return;
    Characters out;
    out.reserve(text.size() + 32);
    std::vector<bool> opened;  // for every open "(": whether it is a call's
    for (std::size_t i = 0; i < text.size();) {
        if (matchesAt(text, i, token)) {
            append(out, U"FUNCTION(");
            opened.push_back(true);
            i += token.size();
            continue;
        }
        const char32_t c = text[i++];
        if (c == U'(') {
            opened.push_back(false);
        } else if (c == U')' && !opened.empty()) {
            const bool call = opened.back();
            opened.pop_back();
            if (call) {
                append(out, U",'");
                append(out, name);
                append(out, U"')");
                continue;
            }
        }
        out.push_back(c);
    }
    text.swap(out);
}

// A factorial binds tighter than a power, so "^" ends its operand too (2^3! is 2^6).
bool isFactorialStop(char32_t c) {
    return c == timesSign || c == divisionSign || c == minusSign || c == U'+' || c == U'(' || c == U'^';
}

// Stage 4: every "!" becomes FUNCTION(operand,'factorial'), one pass over the text as it
// reads per "!". The operand is a final parenthesised group (with the call or the log in
// front of it), or else what follows the last operator, "^" or "(" met on the way back, where
// a ")" takes the whole group it closes (so a group followed by a postfix symbol, and a
// name in front of the group, belong to the operand) and a "+" that is an exponent's sign
// stays with its number. The parentheses are balanced by now, so every operand is too,
// and a "!" right after another takes the call just written, which starts where that
// one's operand starts: a run of "!" is written in one step, so a long chain of
// factorials costs a single pass. False when the operands walked exceed the bound.
bool replaceFactorial(Characters& text) {
    constexpr std::u32string_view call = U"FUNCTION(";
    constexpr std::u32string_view close = U",'factorial')";
    std::size_t walked = 0;
    for (std::size_t from = 0;;) {
        const auto found = std::find(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), U'!');
        if (found == text.end()) return true;
        const auto i = static_cast<std::size_t>(found - text.begin());
        std::size_t run = 1;
        while (i + run < text.size() && text[i + run] == U'!') ++run;
        std::size_t start = 0;
        if (i > 0 && text[i - 1] == U')') {
            const std::size_t p = openingParenthesis(text, i - 1);
            if (p != static_cast<std::size_t>(-1)) {
                start = p;
                if (i >= 2 && text[i - 2] == U'\'' && p >= 8 && matchesAt(text, p - 8, U"FUNCTION"))
                    start = p - 8;
                else if (p >= 3 && matchesAt(text, p - 3, U"log"))
                    start = p - 3;
            }
        } else {
            for (std::size_t j = i; j > 0;) {
                --j;
                if (text[j] == U')') {
                    j = openingParenthesis(text, j);
                    if (j == static_cast<std::size_t>(-1)) break;
                    continue;  // the group, its "(" included, belongs to the operand
                }
                if (isFactorialStop(text[j]) && (j > 0 || text[j] == U'(') && !isExponentSign(text, j)) {
                    start = j + 1;
                    break;
                }
            }
        }
        walked += i - start;
        if (walked > maxFactorialOperandCharacters) return false;
        Characters closes;
        for (std::size_t k = 0; k < run; ++k) append(closes, close);
        const auto at = text.erase(found, found + static_cast<std::ptrdiff_t>(run));
        text.insert(at, closes.begin(), closes.end());
        Characters calls;
        for (std::size_t k = 0; k < run; ++k) append(calls, call);
        text.insert(text.begin() + static_cast<std::ptrdiff_t>(start), calls.begin(), calls.end());
        from = i + run * (call.size() + close.size());
    }
}

// Stage 5: the calculator's symbols in the evaluator's spelling.
void replaceSymbols(Characters& text) {
    bool present = false;
    for (char32_t c : text)
        if (c == squaredSign || c == timesSign || c == divisionSign || c == minusSign || c == U'^' || c == percentMarker)
            present = true;
    if (!present) return;
    Characters out;
    out.reserve(text.size() + 16);
    for (char32_t c : text) {
        switch (c) {
        case squaredSign:
            append(out, U"**2");
            break;
        case timesSign:
            out.push_back(U'*');
            break;
        case divisionSign:
            out.push_back(U'/');
            break;
        case minusSign:
            out.push_back(U'-');
            break;
        case U'^':
            append(out, U"**");
            break;
        case percentMarker:
            append(out, U"/100.0");
            break;
        default:
            out.push_back(c);
        }
    }
    text.swap(out);
}

bool isRootDelimiter(char32_t c) {
    return c == U'*' || c == U'/' || c == U'+' || c == U'-' || c == U')' || c == U',';
}

// Stage 6: a bare "√" takes the call after it, or the number after it (an exponent's
// sign included). The text only gains ",'squareroot')" after each operand; those are
// counted per position and written as the walk passes them, leftmost root first.
void replaceBareRoots(Characters& text) {
    if (!contains(text, rootSign)) return;
    const std::size_t n = text.size();
    std::vector<std::uint32_t> closes(n + 1, 0);  // ",'squareroot')" in front of text[j]; at the end for n
    Characters out;
    out.reserve(n + 32);
    for (std::size_t i = 0; i <= n; ++i) {
        for (std::uint32_t k = 0; k < closes[i]; ++k) append(out, U",'squareroot')");
        if (i == n) break;
        if (text[i] != rootSign) {
            out.push_back(text[i]);
            continue;
        }
        append(out, U"FUNCTION(");
        const std::size_t r = i + 1;  // the operand text starts here
        std::size_t end = n;          // the operand ends in front of text[end] and its closes
        if (closes[r] == 0 && r < n && text[r] == U'F') {
            bool call = matchesAt(text, r, U"FUNCTION(");
            for (std::size_t k = r + 1; call && k < r + 9; ++k) call = closes[k] == 0;
            if (call) {
                long depth = 1;
                bool closed = false;
                for (std::size_t j = r + 9; j <= n && !closed; ++j) {
                    // Each pending close holds one ")".
                    if (closes[j] != 0 && depth <= static_cast<long>(closes[j])) {
                        end = j;
                        closed = true;
                        break;
                    }
                    depth -= static_cast<long>(closes[j]);
                    if (j == n) break;
                    if (text[j] == U'(') ++depth;
                    if (text[j] == U')' && --depth == 0) {
                        end = j + 1;
                        closed = true;
                    }
                }
            }
        } else {
            for (std::size_t j = r;; ++j) {
                if (closes[j] != 0 || j == n) {
                    end = j;
                    break;
                }
                const bool afterExponent = j > r && (text[j - 1] == U'e' || text[j - 1] == U'E');
                if (isRootDelimiter(text[j]) && !afterExponent) {
                    end = j;
                    break;
                }
            }
        }
        ++closes[end];
    }
    text.swap(out);
}

// The index of the ")" closing the "(" at `open` in text[0, size), or size when none does.
std::size_t closingParenthesis(const Characters& text, std::size_t open, std::size_t size) {
    long depth = 0;
    for (std::size_t j = open; j < size; ++j) {
        if (text[j] == U'(') ++depth;
        if (text[j] == U')' && --depth == 0) return j;
    }
    return size;
}

}  // namespace

std::string ExpressionTranslator::expressionFormat(const std::string& text, bool autoParenthesis, bool radiantFlag) {
    CharacterText characters = toCharacters(text, maxInputCharacters);
    Characters& t = characters.characters;
    if (t.size() > maxInputCharacters) return {};
    if (!balanceParentheses(t, autoParenthesis)) return "1.0/0.0";
    if (!replacePercent(t)) return {};
    for (const FunctionRow& row : functionRows)
        replaceFunctionToken(t, row.token, radiantFlag ? row.radianName : row.degreeName);
    if (!replaceFactorial(t)) return {};
    replaceSymbols(t);
    replaceBareRoots(t);
    return toText(t, characters.clusters);
}

std::string ExpressionTranslator::removeRedundantParentheses(const std::string& text, bool autoParenthesis) {
    if (text.empty()) return {};
    if (!autoParenthesis) return text;
    CharacterText characters = toCharacters(text);
    Characters& t = characters.characters;

    // Enclosing pairs: the text's first and last characters go while the "(" examined
    // is closed by the last character.
    std::size_t first = 0;     // the text is t[first, last)
    std::size_t last = t.size();
    std::size_t i = 0;         // relative to first
    const auto at = [&](std::size_t k) { return t[first + k]; };
    for (;;) {
        const std::size_t length = last - first;
        if (i < length && at(i) == U'(' && closingParenthesis(t, first + i, last) == last - 1) {
            ++first;
            --last;
            // i = i - 1, then i = i + 1 below
        } else {
            ++i;
        }
        const std::size_t now = last - first;
        if (i >= now || at(i) != U'(') break;
        if (at(0) == rootSign || at(0) == lnSign) break;
    }
    Characters rest(t.begin() + static_cast<std::ptrdiff_t>(first), t.begin() + static_cast<std::ptrdiff_t>(last));

    // Doubled pairs: "((x))" loses its outer pair. Removing a matched pair leaves every
    // other pair matched as before, so the pairs are found once and removals are marked.
    const std::size_t n = rest.size();
    std::vector<std::size_t> match(n, n);
    std::vector<std::size_t> opens;
    for (std::size_t k = 0; k < n; ++k) {
        if (rest[k] == U'(') opens.push_back(k);
        if (rest[k] == U')' && !opens.empty()) {
            match[opens.back()] = k;
            opens.pop_back();
        }
    }
    std::vector<std::size_t> next(n + 1), previous(n + 1);
    for (std::size_t k = 0; k <= n; ++k) {
        next[k] = k + 1;
        previous[k] = k == 0 ? n : k - 1;  // n stands for "none" going back
    }
    std::vector<bool> removed(n, false);
    for (std::size_t k = 0; k < n;) {
        const std::size_t m = match[k];
        if (rest[k] == U'(' && m < n) {
            const std::size_t inner = next[k];
            const std::size_t innerClose = previous[m];
            if (inner < m && innerClose != n && innerClose > inner && rest[inner] == U'(' && rest[innerClose] == U')' &&
                match[inner] == innerClose) {
                removed[k] = true;
                removed[m] = true;
                // Unlink m, then k; examine the character now at k's place.
                next[previous[m]] = next[m];
                if (next[m] < n + 1) previous[next[m]] = previous[m];
                if (previous[k] != n) next[previous[k]] = next[k];
                previous[next[k]] = previous[k];
                k = next[k];
                continue;
            }
        }
        k = next[k];
    }
    Characters out;
    out.reserve(n);
    for (std::size_t k = 0; k < n; ++k)
        if (!removed[k]) out.push_back(rest[k]);
    return toText(out, characters.clusters);
}

}  // namespace ostrelo
