#include "tools/CallReport.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tools/JsonText.h"

namespace TolvexHost {

namespace {

// A signed integer field of a record, as wide as it is.
std::int64_t SignedField(const char* bytes, std::size_t size) {
    switch (size) {
        case 1: return static_cast<std::int8_t>(*bytes);
        case 2: {
            std::int16_t value;
            std::memcpy(&value, bytes, sizeof value);
            return value;
        }
        case 4: {
            std::int32_t value;
            std::memcpy(&value, bytes, sizeof value);
            return value;
        }
        default: {
            std::int64_t value;
            std::memcpy(&value, bytes, sizeof value);
            return value;
        }
    }
}

}  // namespace

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

std::vector<ReportField> FieldsOf(Tolvex29::AnswerCall call, const void* record) {
    std::vector<ReportField> fields;
    for (const Tolvex29::AttributeRule& rule : Tolvex29::RuleOf(call).attributes) {
        if (rule.role != Tolvex29::AttributeRole::Field) continue;
        const char* const bytes = static_cast<const char*>(record) + rule.field.offset;
        switch (rule.kind) {
            case Tolvex29::ValueKind::Text:
                fields.push_back({rule.name, std::string(bytes, strnlen(bytes, rule.field.size)), ReportField::Text});
                break;
            case Tolvex29::ValueKind::Boolean: {
                // The host reads any non-zero byte as true; other values are shown as they are.
                const auto byte = static_cast<unsigned char>(*bytes);
                if (byte <= 1)
                    fields.push_back({rule.name, byte ? "true" : "false", ReportField::Boolean});
                else
                    fields.push_back({rule.name, std::to_string(byte), ReportField::Number});
                break;
            }
            case Tolvex29::ValueKind::Integer:
                fields.push_back({rule.name, std::to_string(SignedField(bytes, rule.field.size)), ReportField::Number});
                break;
        }
    }
    return fields;
}

std::vector<std::string> FieldsHolding(Tolvex29::AnswerCall call, const void* record, unsigned char byte) {
    std::vector<std::string> names;
    for (const Tolvex29::AttributeRule& rule : Tolvex29::RuleOf(call).attributes) {
        if (rule.role != Tolvex29::AttributeRole::Field) continue;
        const auto* const bytes = static_cast<const unsigned char*>(record) + rule.field.offset;
        if (std::all_of(bytes, bytes + rule.field.size, [byte](unsigned char b) { return b == byte; }))
            names.push_back(rule.name);
    }
    return names;
}

std::string FieldsText(const std::vector<ReportField>& fields) {
    // The text form leaves out the fields that hold nothing; JSON lists them all.
    std::string text;
    bool omitted = false;
    for (const ReportField& field : fields) {
        if (field.value.empty() || field.value == "0" || field.value == "false") {
            omitted = true;
            continue;
        }
        char line[64];
        std::snprintf(line, sizeof line, "  %-11s ", field.name.c_str());
        text += line + (field.kind == ReportField::Text ? Quoted(field.value) : field.value) + "\n";
    }
    if (omitted) text += "  (the other fields are 0, false or empty)\n";
    return text;
}

std::string ReportText(const CallReport& report) {
    std::string text = report.call + "(" + report.arguments + ")";
    if (report.outcome.failed)
        return text + " failed\n  " + report.outcome.className + ": " + report.outcome.message + "\n";
    text += " -> " + std::to_string(report.outcome.result) + "\n";
    text += FieldsText(report.record);
    if (report.output)
        text += "  output      kind " + std::to_string(report.output->kind) + ", " +
                std::to_string(report.output->length) + " bytes: " + Quoted(report.output->text) + "\n";
    return text;
}

nlohmann::ordered_json ReportJsonValue(const CallReport& report) {
    nlohmann::ordered_json json;
    json["call"] = report.call;
    json["arguments"] = JsonText(report.arguments);
    if (report.outcome.failed) {
        json["failure"] = {{"class", report.outcome.className}, {"message", JsonText(report.outcome.message)}};
        return json;
    }
    json["result"] = report.outcome.result;
    if (!report.record.empty()) {
        nlohmann::ordered_json& record = json["record"];
        for (const ReportField& field : report.record) {
            if (field.kind == ReportField::Text)
                record[field.name] = JsonText(field.value);
            else if (field.kind == ReportField::Boolean)
                record[field.name] = field.value == "true";
            else
                record[field.name] = std::stoll(field.value);
        }
    }
    if (report.output)
        json["output"] = {
            {"text", JsonText(report.output->text)}, {"length", report.output->length}, {"kind", report.output->kind}};
    return json;
}

std::string ReportJson(const CallReport& report) { return ReportJsonValue(report).dump(); }

}  // namespace TolvexHost
