#include "tools/CallReport.h"

#include <cstdio>
#include <cstring>

#include "tools/Json.h"

namespace TolvexHost {

namespace {

ReportField Number(const char* name, std::int64_t value) { return {name, std::to_string(value), ReportField::Number}; }

ReportField Flag(const char* name, std::uint8_t value) {
    // The host reads any non-zero byte as true; show other values as they are.
    return value <= 1 ? ReportField{name, value ? "true" : "false", ReportField::Boolean} : Number(name, value);
}

template <size_t Size>
ReportField Text(const char* name, const char (&field)[Size]) {
    return {name, std::string(field, strnlen(field, Size)), ReportField::Text};
}

// A text between double quotes; control bytes and quotes escaped.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"') {
            quoted += "\\\"";
        } else if (byte < 0x20 || byte == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            quoted += escape;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

}  // namespace

std::vector<ReportField> FieldsOf(const TCardInfoRec& info) {
    return {Number("Account", info.Account), Flag("Deleted", info.Deleted), Number("Discount", info.Discount),
            Number("Bonus", info.Bonus), Number("Summa", info.Summa), Number("DiscLimit", info.DiscLimit),
            Text("Holder", info.Holder), Number("Sum2", info.Sum2), Number("Sum3", info.Sum3),
            Number("Sum4", info.Sum4), Number("Sum5", info.Sum5), Number("Sum6", info.Sum6),
            Number("Sum7", info.Sum7), Number("Sum8", info.Sum8), Number("Unpay", info.Unpay),
            Flag("Seize", info.Seize), Flag("Locked", info.Locked), Text("WhyLock", info.WhyLock),
            Text("DopInfo", info.DopInfo), Text("ScrMessage", info.ScrMessage), Text("PrnMessage", info.PrnMessage)};
}

std::vector<ReportField> FieldsOf(const TCardImageRec& image) { return {Text("FileName", image.FileName)}; }

std::vector<ReportField> FieldsOf(const TEmailCardRec& card) {
    return {Number("Account", card.Account), Number("CardCode", card.CardCode), Text("Name", card.Name)};
}

std::string ReportText(const CallReport& report) {
    std::string text = report.call + "(" + report.arguments + ")";
    if (report.outcome.failed)
        return text + " failed\n  " + report.outcome.className + ": " + report.outcome.message + "\n";
    text += " -> " + std::to_string(report.outcome.result) + "\n";
    // The text form leaves out the fields that hold nothing; JSON lists them all.
    bool omitted = false;
    for (const ReportField& field : report.record) {
        if (field.value.empty() || field.value == "0" || field.value == "false") {
            omitted = true;
            continue;
        }
        char line[64];
        std::snprintf(line, sizeof line, "  %-11s ", field.name.c_str());
        text += line + (field.kind == ReportField::Text ? Quoted(field.value) : field.value) + "\n";
    }
    if (omitted) text += "  (the other fields are 0, false or empty)\n";
    if (report.output)
        text += "  output      kind " + std::to_string(report.output->kind) + ", " +
                std::to_string(report.output->length) + " bytes: " + Quoted(report.output->text) + "\n";
    return text;
}

std::string ReportJson(const CallReport& report) {
    JsonObject json;
    json.AddText("call", report.call).AddText("arguments", report.arguments);
    if (report.outcome.failed) {
        json.Add("failure", JsonObject()
                                .AddText("class", report.outcome.className)
                                .AddText("message", report.outcome.message)
                                .Text());
        return json.Text();
    }
    json.Add("result", std::to_string(report.outcome.result));
    if (!report.record.empty()) {
        JsonObject record;
        for (const ReportField& field : report.record)
            record.Add(field.name, field.kind == ReportField::Text ? JsonString(field.value) : field.value);
        json.Add("record", record.Text());
    }
    if (report.output)
        json.Add("output", JsonObject()
                               .AddText("text", report.output->text)
                               .Add("length", std::to_string(report.output->length))
                               .Add("kind", std::to_string(report.output->kind))
                               .Text());
    return json.Text();
}

}  // namespace TolvexHost
