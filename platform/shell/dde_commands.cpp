#include "shell/dde_commands.h"

namespace platform::shell {

namespace {

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

bool is_space(char c)
{
    return is_blank(c) || c == '\r' || c == '\n';
}

bool is_name_character(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    bool parse(std::vector<DdeCommand>& commands, std::string& error)
    {
        commands.clear();
        for (;;) {
            while (pos_ < text_.size() && is_space(text_[pos_])) ++pos_;
            if (pos_ == text_.size()) break;
            DdeCommand command;
            if (!parse_command(command)) {
                error = error_;
                commands.clear();
                return false;
            }
            commands.push_back(std::move(command));
        }
        if (commands.empty()) {
            error = "no command";
            return false;
        }
        return true;
    }

private:
    bool fail(const std::string& why)
    {
        error_ = why + " at character " + std::to_string(pos_ + 1);
        return false;
    }

    void skip_blanks()
    {
        while (pos_ < text_.size() && is_blank(text_[pos_])) ++pos_;
    }

    bool parse_command(DdeCommand& command)
    {
        if (text_[pos_] != '[') return fail("'[' expected");
        size_t start = ++pos_;
        skip_blanks();
        size_t name_start = pos_;
        while (pos_ < text_.size() && is_name_character(text_[pos_])) ++pos_;
        if (pos_ == name_start) return fail("a command name expected");
        command.name = std::string(text_.substr(name_start, pos_ - name_start));
        skip_blanks();
        if (pos_ < text_.size() && text_[pos_] == '(') {
            ++pos_;
            if (!parse_arguments(command.arguments)) return false;
            skip_blanks();
        }
        if (pos_ >= text_.size() || text_[pos_] != ']') return fail("']' expected");
        command.text = std::string(text_.substr(start, pos_ - start));
        ++pos_;
        return true;
    }

    // After the opening parenthesis; leaves pos_ after the closing one.
    bool parse_arguments(std::vector<std::string>& arguments)
    {
        skip_blanks();
        if (pos_ < text_.size() && text_[pos_] == ')') {
            ++pos_;
            return true;
        }
        for (;;) {
            skip_blanks();
            std::string argument;
            if (pos_ < text_.size() && text_[pos_] == '"') {
                size_t close = text_.find('"', pos_ + 1);
                if (close == std::string_view::npos) return fail("a quoted argument without its closing quote");
                argument = std::string(text_.substr(pos_ + 1, close - pos_ - 1));
                pos_ = close + 1;
                skip_blanks();
            } else {
                size_t start = pos_;
                while (pos_ < text_.size() && text_[pos_] != ',' && text_[pos_] != ')') ++pos_;
                argument = std::string(text_.substr(start, pos_ - start));
                while (!argument.empty() && is_blank(argument.back())) argument.pop_back();
            }
            if (pos_ >= text_.size()) return fail("')' expected");
            arguments.push_back(std::move(argument));
            if (text_[pos_] == ')') {
                ++pos_;
                return true;
            }
            if (text_[pos_] != ',') return fail("',' or ')' expected");
            ++pos_;
        }
    }

    std::string_view text_;
    size_t pos_ = 0;
    std::string error_;
};

}  // namespace

bool parse_dde_commands(std::string_view text, std::vector<DdeCommand>& commands, std::string& error)
{
    return Parser(text).parse(commands, error);
}

}  // namespace platform::shell
