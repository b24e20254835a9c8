#include "request_parser.h"

#include <vector>

#include "text.h"

namespace dravo {
namespace {

bool is_word_gap(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view up_to_zero(std::string_view text) {
    auto zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

// The first two words of a line.
std::vector<std::string_view> first_words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (words.size() < 2 && i < line.size()) {
        while (i < line.size() && is_word_gap(line[i])) {
            ++i;
        }
        std::size_t start = i;
        while (i < line.size() && !is_word_gap(line[i])) {
            ++i;
        }
        if (i > start) {
            words.push_back(line.substr(start, i - start));
        }
    }
    return words;
}

void add_pairs(std::string_view fields, QueryMap& query) {
    for (;;) {
        auto amp = fields.find('&');
        auto field = fields.substr(0, amp);
        auto eq = field.find('=');
        if (eq == std::string_view::npos) {
            query[std::string(field)] = "";
        } else {
            query[std::string(field.substr(0, eq))] = std::string(field.substr(eq + 1));
        }
        if (amp == std::string_view::npos) {
            return;
        }
        fields.remove_prefix(amp + 1);
    }
}

void add_header(std::string_view line, HeaderMap& headers) {
    auto colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) {
        return;
    }
    headers.emplace(lower_case(std::string(line.substr(0, colon))),
                    trim(std::string(line.substr(colon + 1))));
}

void parse_target(std::string_view target, ParsedRequest& out) {
    auto mark = target.find('?');
    out.path = std::string(target.substr(0, mark));
    if (mark != std::string_view::npos) {
        add_pairs(target.substr(mark + 1), out.query);
    }
}

}  // namespace

bool request_complete(std::string_view text) {
    text = up_to_zero(text);
    return text.find("\n\r\n") != std::string_view::npos ||
           text.find("\n\n") != std::string_view::npos;
}

ParsedRequest parse_request(std::string_view text) {
    text = up_to_zero(text);
    ParsedRequest out;
    while (!text.empty()) {
        auto lf = text.find('\n');
        auto line = text.substr(0, lf);
        auto words = first_words(line);
        if (!words.empty() && words[0] == "GET") {
            parse_target(words.size() > 1 ? words[1] : "GET", out);
        } else if (words.size() > 1 && words[0] == "HEAD") {
            out.head_path = std::string(words[1].substr(0, words[1].find('?')));
        } else {
            add_header(line, out.headers);
        }
        if (lf == std::string_view::npos) {
            break;
        }
        text.remove_prefix(lf + 1);
    }
    return out;
}

}  // namespace dravo
