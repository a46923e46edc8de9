// Writes the page's HTML from its template: every text, selector entry, default and range
// label comes from the tables the windows are built from. Each NAME=FILE puts that file's contents
// in place of @NAME@ (the style sheet, inlined so that the first result waits for fewer requests).
// With --tables, writes instead the module that gives the page's scripts the form's
// controls, labels and constants. Run under Node at build time:
//   node page_generator.js TEMPLATE OUTPUT [NAME=FILE...]
//   node page_generator.js --tables OUTPUT
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>

#include "field_labels.h"
#include "form_texts.h"
#include "on_calcul.h"
#include "score2_form.h"
#include "texts.h"
#include "what_if.h"

namespace {

// The fixed texts by the name the template uses, "@TXT_AGE@".
#define VESSANE_TEXT(name) \
    { #name, name }
const std::map<std::string, std::string> kNamedTexts = {
    VESSANE_TEXT(TXT_MAIN_CAPTION),
    VESSANE_TEXT(TXT_AGE),
    VESSANE_TEXT(TXT_SYSTOLIC),
    VESSANE_TEXT(TXT_DIASTOLIC),
    VESSANE_TEXT(TXT_TOTAL),
    VESSANE_TEXT(TXT_HDL),
    VESSANE_TEXT(TXT_SMOKER),
    VESSANE_TEXT(TXT_DIABETES),
    VESSANE_TEXT(TXT_LVH),
    VESSANE_TEXT(TXT_YEARS),
    VESSANE_TEXT(TXT_RISK_LABEL),
    VESSANE_TEXT(TXT_CHOLESTEROL_GROUP),
    VESSANE_TEXT(TXT_RISK_GROUP),
    VESSANE_TEXT(TXT_PRESSURE_GROUP),
    VESSANE_TEXT(TXT_SYSTOLIC_RANGE),
    VESSANE_TEXT(TXT_DIASTOLIC_RANGE),
    VESSANE_TEXT(TXT_AGE_RANGE),
    VESSANE_TEXT(TXT_YEARS_RANGE),
    VESSANE_TEXT(TXT_LOW),
    VESSANE_TEXT(TXT_HIGH),
    VESSANE_TEXT(TXT_SEX_NAME),
    VESSANE_TEXT(TXT_UNIT_NAME),
    VESSANE_TEXT(TXT_RESULT_NAME),
    VESSANE_TEXT(TXT_BAR_NAME),
    VESSANE_TEXT(TXT_DIGITS_ONLY),
    VESSANE_TEXT(TXT_ABOUT_CAPTION),
    VESSANE_TEXT(TXT_ABOUT_VERSION),
    VESSANE_TEXT(TXT_ABOUT_NOTICE),
    VESSANE_TEXT(TXT_ABOUT_FRAMINGHAM),
    VESSANE_TEXT(TXT_ABOUT_CITATION),
    VESSANE_TEXT(TXT_ABOUT_TERMS),
    VESSANE_TEXT(TXT_ABOUT_CONTACT),
    VESSANE_TEXT(TXT_OK),
    VESSANE_TEXT(VESSANE_VERSION_TEXT),
};
#undef VESSANE_TEXT

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Options(const char* const (&items)[2], int selected) {
    std::string html;
    for (int i = 0; i < 2; ++i) {
        html += "<option value=\"" + std::to_string(i) + "\"" + (i == selected ? " selected" : "") +
                ">" + Escape(items[i]) + "</option>";
    }
    return html;
}

// A JSON string; "<" escaped so that the text may stand inside a script element.
std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '<') {
            out += "\\u003c";
            continue;
        }
        out += c;
    }
    return out + "\"";
}

// The form's controls, labels and constants for the page's scripts, as JSON.
std::string FormTablesJson() {
    char factor[32];
    std::snprintf(factor, sizeof factor, "%.17g", vessane::kCholesterolFactor);
    std::string json = "{\"cholesterolFactor\":" + std::string(factor) +
                       ",\"fieldCharacters\":" + std::to_string(vessane::kTextBufferSize - 1) +
                       ",\"controls\":{\"result\":" + std::to_string(IDC_RESULT) +
                       ",\"bar\":" + std::to_string(IDC_RISK_BAR);
    for (const auto& field : vessane::kFieldLabels) {
        json += "," + JsonString(field.name) + ":" + std::to_string(field.control);
    }
    json += "},\"fields\":[";
    for (const auto& field : vessane::kFieldLabels) {
        if (json.back() == '}') json += ",";
        json += "{\"name\":" + JsonString(field.name) +
                ",\"control\":" + std::to_string(field.control) +
                ",\"label\":" + JsonString(field.label) + ",\"unit\":" + JsonString(field.unit) +
                ",\"cholesterolUnit\":" + (field.cholesterolUnit ? "true" : "false") + "}";
    }
    return json + "]}";
}

std::map<std::string, std::string> Substitutions() {
    std::map<std::string, std::string> values;
    for (const auto& [name, text] : kNamedTexts) values[name] = Escape(text);
    values["SEX_OPTIONS"] = Options(vessane::kSexItems, vessane::kDefaultSexIndex);
    values["UNIT_OPTIONS"] = Options(vessane::kUnitItems, vessane::kDefaultUnitIndex);
    values["TOTAL_RANGE"] = vessane::kRangeLabels[vessane::kDefaultUnitIndex].total;
    values["HDL_RANGE"] = vessane::kRangeLabels[vessane::kDefaultUnitIndex].hdl;
    for (const auto& field : vessane::kDefaultTexts) {
        values["DEFAULT_" + std::to_string(field.id)] = Escape(field.text);
    }
    values["DEFAULT_BAR"] = std::to_string(vessane::kDefaultBarPosition);
    values["WHAT_IF_TARGETS"] = Escape(vessane::WhatIfTargetsText());
    std::string regions;
    for (const char* region : vessane::kScore2RegionNames) {
        regions += "<option>" + Escape(region) + "</option>";
    }
    values["SCORE2_REGION_OPTIONS"] = regions;
    values["SCORE2_OUTCOME"] =
        Escape(std::string(1, static_cast<char>(std::toupper(
                                  static_cast<unsigned char>(vessane::kScore2Outcome[0])))) +
               (vessane::kScore2Outcome + 1));
    values["SCORE2_TEN_YEARS"] = Escape(vessane::kScore2TenYears);
    values["SCORE2_ISOLATED"] = Escape(vessane::kScore2IsolatedFactor);
    values["SCORE2_SCOPE"] = Escape(vessane::kScore2Scope);
    values["FORM_TABLES"] = FormTablesJson();
    return values;
}

}  // namespace

bool ReadFile(const char* path, std::string& contents) {
    std::ifstream in(path, std::ios::binary);
    contents.assign(std::istreambuf_iterator<char>(in), {});
    return static_cast<bool>(in) || in.eof();
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: page_generator TEMPLATE OUTPUT [NAME=FILE...]\n");
        return 2;
    }
    if (std::string(argv[1]) == "--tables") {
        std::ofstream(argv[2], std::ios::binary)
            << "// Written by the page's generator from the core's tables.\n"
               "export const FORM = Object.freeze("
            << FormTablesJson() << ");\n";
        return 0;
    }
    std::string page;
    if (!ReadFile(argv[1], page)) return 1;
    auto values = Substitutions();
    for (int i = 3; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::size_t equals = argument.find('=');
        if (equals == std::string::npos ||
            !ReadFile(argument.c_str() + equals + 1, values[argument.substr(0, equals)])) {
            std::fprintf(stderr, "page_generator: cannot read %s\n", argv[i]);
            return 1;
        }
    }
    std::string out;
    for (std::size_t at = 0; at < page.size();) {
        const std::size_t open = page.find('@', at);
        const std::size_t close = open == std::string::npos ? open : page.find('@', open + 1);
        if (close == std::string::npos) {
            out.append(page, at);
            break;
        }
        const auto value = values.find(page.substr(open + 1, close - open - 1));
        if (value == values.end()) {
            std::fprintf(stderr, "page_generator: unknown name %s\n",
                         page.substr(open, close - open + 1).c_str());
            return 1;
        }
        out.append(page, at, open - at).append(value->second);
        at = close + 1;
    }
    std::ofstream(argv[2], std::ios::binary) << out;
    return 0;
}
