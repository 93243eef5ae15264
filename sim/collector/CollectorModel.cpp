#include "CollectorModel.h"

#include <utility>

namespace {

constexpr char kWake = 0x0F;
constexpr std::size_t kLongestCommand = 4;  // "GETD"

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

}  // namespace

CollectorModel::CollectorModel(CollectorScenario scenario) : scenario_(std::move(scenario)) {}

std::string CollectorModel::OnReceive(std::string_view bytesFromHost) {
    std::string reply;
    for (char byte : bytesFromHost) {
        if (byte == kWake) {
            if (!scenario_.faults.neverWake) {
                state_.woken = true;
                reply += kWake;
            }
        } else if (byte == '\r') {
            OnCommand(command_, reply);
            command_.clear();
        } else {
            // Only the tail matters: it lets the attention string or stray
            // bytes run straight into a command without hiding it.
            command_ += byte;
            if (command_.size() > kLongestCommand) command_.erase(0, 1);
        }
    }
    return reply;
}

void CollectorModel::OnCommand(std::string_view command, std::string& reply) {
    if (!state_.woken) return;
    if (EndsWith(command, "GETD")) {
        OnGetd(reply);
    } else if (EndsWith(command, "ACK")) {
        OnAck(reply);
    }
}

void CollectorModel::OnGetd(std::string& reply) {
    const CollectorFaults& faults = scenario_.faults;
    ++state_.getdCount;
    if (faults.noGetdReply) return;
    if (state_.getdCount == 1) {
        reply += faults.ackFirstGetd ? "ACK\r" : "NAK\r";
    } else if (state_.getdCount == 2) {
        reply += faults.nakSecondGetd ? "NAK\r" : "ACK\r";
        transferStarted_ = true;
        SendNextOrOver(reply);
    }
}

void CollectorModel::OnAck(std::string& reply) {
    bool lineOutstanding = state_.acksReceived < state_.linesSent;
    if (!transferStarted_ || state_.finished || !lineOutstanding) return;
    ++state_.acksReceived;
    SendNextOrOver(reply);
}

void CollectorModel::SendNextOrOver(std::string& reply) {
    const CollectorFaults& faults = scenario_.faults;
    const auto& lines = scenario_.dataLines;
    if (faults.silentAfter && state_.linesSent >= *faults.silentAfter) return;
    if (state_.linesSent == lines.size()) {
        state_.finished = true;
        if (!faults.noOver && !faults.partialLast) reply += "OVER\r";
        return;
    }
    std::string_view line = lines[state_.linesSent++];
    bool isLast = state_.linesSent == lines.size();
    if (faults.partialLast && isLast && EndsWith(line, "\r")) line.remove_suffix(1);
    reply += faults.garbageBetween;
    reply += line;
}
