// Infix to postfix conversion by recursive descent, and the postfix
// evaluator. The scanning state lives in each call, so both are re-entrant.
#include "core/formula.h"

#include "base/sjis.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

namespace cv {

namespace {

constexpr size_t MaxTokenLength = 31;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

struct Token {
    std::string_view Text; // empty at the end of the text
    bool End = true;
    bool is(char op) const { return !End && Text.size() == 1 && Text[0] == op; }
};

class Tokenizer {
public:
    explicit Tokenizer(std::string_view s) : s_(s.substr(0, s.find('\0'))) {}

    Token next() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t')) ++pos_;
        if (pos_ >= s_.size()) return {};
        size_t start = pos_;
        if (isDigit(s_[pos_])) {
            while (pos_ < s_.size() && isDigit(s_[pos_])) ++pos_;
        } else if (isLetter(s_[pos_])) {
            while (pos_ < s_.size() && (isLetter(s_[pos_]) || isDigit(s_[pos_]))) ++pos_;
        } else {
            pos_ += sjis::charLength(s_, pos_);
        }
        size_t len = pos_ - start;
        return {s_.substr(start, len < MaxTokenLength ? len : MaxTokenLength), false};
    }

private:
    std::string_view s_;
    size_t pos_ = 0;
};

struct TooDeep {};

class InfixParser {
public:
    explicit InfixParser(std::string_view infix) : tokens_(infix) { advance(); }

    PostfixText run() {
        try {
            expression();
        } catch (const TooDeep&) {
            return {std::string(), true};
        }
        return {std::move(out_), error_};
    }

private:
    void advance() { cur_ = tokens_.next(); }
    void emit(std::string_view token) {
        out_.append(token);
        out_ += ' ';
    }

    void expression() {
        sum();
        while (cur_.is('<') || cur_.is('>') || cur_.is('|')) {
            char op = cur_.Text[0];
            advance();
            sum();
            emit(std::string_view(&op, 1));
        }
    }
    void sum() {
        term();
        while (cur_.is('+') || cur_.is('-')) {
            char op = cur_.Text[0];
            advance();
            term();
            emit(std::string_view(&op, 1));
        }
    }
    void term() {
        power();
        while (cur_.is('*') || cur_.is('/') || cur_.is('\\')) {
            char op = cur_.Text[0];
            advance();
            power();
            emit(std::string_view(&op, 1));
        }
    }
    void power() {
        primary();
        while (cur_.is('^')) {
            advance();
            primary();
            emit("^");
        }
    }
    void primary() {
        if (++depth_ > MaxFormulaNesting) throw TooDeep{};
        if (cur_.is('@')) {
            advance();
            primary();
            emit("@");
        } else if (cur_.is('(')) {
            advance();
            expression();
            if (cur_.is(')'))
                advance();
            else
                error_ = true; // the token standing here is parsed on, not consumed
        } else {
            emit(cur_.Text); // at the end of the text: an empty operand
            if (!cur_.End) advance();
        }
        --depth_;
    }

    Tokenizer tokens_;
    Token cur_;
    std::string out_;
    bool error_ = false;
    int depth_ = 0;
};

// Truncation toward zero to 64 bits; false for NaN, infinities and
// magnitudes of 2^63 and more, which have no such value.
bool toInt64(double v, int64_t& out) {
    constexpr double limit = 9223372036854775808.0; // 2^63
    if (!std::isfinite(v) || v >= limit || v <= -limit) return false;
    out = static_cast<int64_t>(std::trunc(v));
    return true;
}

int32_t low32(int64_t v) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v)));
}

double numberValue(std::string_view token) {
    double v = 0.0;
    auto r = std::from_chars(token.data(), token.data() + token.size(), v, std::chars_format::fixed);
    return r.ec == std::errc() ? v : 0.0;
}

struct EvalFailure {};

} // namespace

PostfixText ConvertInfix(std::string_view infix) {
    return InfixParser(infix).run();
}

uint32_t Infix2Postfix(std::string_view infix, char* out) {
    PostfixText p = ConvertInfix(infix);
    if (p.Text.size() >= PostfixBufferSize) {
        std::memset(out, 0, PostfixBufferSize);
        return FormulaError;
    }
    sjis::writeField(out, PostfixBufferSize, p.Text);
    return p.Error ? FormulaError : 0;
}

int32_t BountyVariable(char letter, const TArmoredKnight& ak) {
    switch (letter) {
    case 'A':
        return ak.TotalCr;
    case 'G':
        return ak.MachineValue;
    case 'w':
        return ak.TotalWeight;
    case 'O':
        return ak.Pilot.Age;
    case 'a':
        return ak.Pilot.ExpAttack;
    case 'd':
        return ak.Pilot.ExpDefence;
    case 'e':
        return ak.Pilot.ExpEscape;
    case 'W':
        return ak.Pilot.Wins;
    case 'F':
        return ak.Pilot.Battles;
    case 'D':
        return ak.Pilot.Destroyed;
    case 'K':
        return ak.Pilot.Kills;
    case 'T':
        return ak.Pilot.Draws;
    case 'M':
        return ak.Team.Mctl;
    default:
        return 0;
    }
}

int32_t CalcPostfix(std::string_view postfix, const TArmoredKnight& ak) {
    std::vector<double> stack;
    auto pop = [&]() {
        if (stack.empty()) throw EvalFailure{};
        double v = stack.back();
        stack.pop_back();
        return v;
    };
    auto push = [&](double v) {
        if (!std::isfinite(v)) throw EvalFailure{};
        stack.push_back(v);
    };
    auto int32Operand = [](double v) {
        int64_t i;
        if (!toInt64(v, i)) throw EvalFailure{};
        return low32(i);
    };

    try {
        Tokenizer tokens(postfix);
        for (Token t = tokens.next(); !t.End; t = tokens.next()) {
            char c = t.Text[0];
            if (c == '@') {
                double x = pop();
                push(x < 0.0 ? 0.0 : x);
                continue;
            }
            if (std::string_view("+-*/\\%^<>|").find(c) != std::string_view::npos) {
                double b = pop();
                double a = pop();
                switch (c) {
                case '+':
                    push(a + b);
                    break;
                case '-':
                    push(a - b);
                    break;
                case '*':
                    push(a * b);
                    break;
                case '/':
                    if (b == 0.0) throw EvalFailure{};
                    push(a / b);
                    break;
                case '\\':
                    if (b == 0.0) throw EvalFailure{};
                    push(std::trunc(a / b));
                    break;
                case '%': {
                    int64_t ia = int32Operand(a), ib = int32Operand(b);
                    if (ib == 0) throw EvalFailure{};
                    push(static_cast<double>(ia % ib)); // 64 bits: INT_MIN % -1 is 0
                    break;
                }
                case '^':
                    push(std::pow(a, b));
                    break;
                case '<':
                    push(a < b ? a : b);
                    break; // a tie gives b
                case '>':
                    push(a > b ? a : b);
                    break;
                case '|':
                    push((a + b) * 0.5);
                    break;
                }
                continue;
            }
            if (isLetter(c))
                push(BountyVariable(c, ak));
            else
                push(numberValue(t.Text));
        }
    } catch (const EvalFailure&) {
        return 0;
    }
    if (stack.empty()) return 0;
    int64_t v;
    return toInt64(stack.back(), v) ? low32(v) : 0;
}

} // namespace cv
