#include "tools/LogCommand.h"

#include <cstdio>

#include "tools/LogEntryJson.h"
#include "tools/LogEvents.h"

namespace TolvexHost {

namespace {

std::string Numbered(std::size_t line, const std::string& text) {
    char number[24];
    std::snprintf(number, sizeof number, "%5zu  ", line);
    return std::string(number).append(text).append("\n");
}

// The lines a call wrote after its call line, indented under it.
std::string Indented(const std::string& text) { return std::string("    ").append(text); }

}  // namespace

std::string LogTable(const LogReading& log) {
    const std::vector<LogEvent> events = LogEvents(log);
    std::size_t next = 0;  // the events follow the entries' calls in order
    std::string table;
    for (const LogEntry& entry : log.entries) {
        if (!entry.call) {
            table += Numbered(entry.line, "library loaded");
            continue;
        }
        const LogEvent& call = events[next++];
        std::string text = call.call->dateTime;
        text.append("  ").append(SubjectName(call.subject));
        const std::string fields = EventFieldsText(call, {Field::OutKind, Field::OutLen});
        if (!fields.empty()) text.append(" ").append(fields);
        table += Numbered(call.line, text);
        const auto* cardInfo = std::get_if<CardInfoCall>(&call.call->arguments);
        if (cardInfo && cardInfo->output) {
            std::string output = "output outkind=";
            output.append(std::to_string(cardInfo->output->outKind)).append(" outlen=");
            table += Numbered(cardInfo->output->line, Indented(output.append(std::to_string(cardInfo->output->outLen))));
        }
        for (; next < events.size() && events[next].transaction; ++next) {
            const LoggedTransaction& transaction = *events[next].transaction;
            if (transaction.dump)
                table += Numbered(transaction.dump->line, Indented(std::string("dump ").append(transaction.dump->fileName)));
            table += Numbered(transaction.line, Indented(std::string("transaction ").append(EventFieldsText(events[next]))));
        }
    }
    return table;
}

std::string LogJsonLines(const LogReading& log) {
    std::string lines;
    for (const LogEntry& entry : log.entries) lines.append(LogEntryJson(entry).dump()).append("\n");
    return lines;
}

int LogCommand(Arguments& arguments, bool json) {
    std::string file = "tolvex.log";
    bool fileGiven = false;
    while (!arguments.Done()) {
        const std::string option = arguments.NextOption();
        if (option == "--json") {
            json = true;
        } else if (!option.empty()) {
            arguments.Unknown(option);
        } else {
            if (fileGiven) arguments.ExpectEnd();
            file = arguments.Positional("log");
            fileGiven = true;
        }
    }
    const LogReading log = ReadLogFile(file);
    const std::string text = json ? LogJsonLines(log) : LogTable(log);
    std::fwrite(text.data(), 1, text.size(), stdout);
    for (const LogError& error : log.errors) std::fprintf(stderr, "%s\n", error.Text().c_str());
    return log.errors.empty() ? 0 : 1;
}

}  // namespace TolvexHost
