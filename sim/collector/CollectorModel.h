// The collector's side of one download session, free of I/O and clocks:
// bytes from the host go in, the bytes to answer with right now come out.
// Silence faults simply answer nothing. One model serves one session; until
// it has answered a wake byte it ignores commands, as a sleeping unit would.
#pragma once

#include "CollectorScenario.h"

#include <cstddef>
#include <string>
#include <string_view>

struct CollectorState {
    bool woken = false;          // answered at least one wake byte
    int getdCount = 0;           // GETD commands received
    std::size_t linesSent = 0;   // data lines sent (a partial one included)
    std::size_t acksReceived = 0;  // ACKs received for sent data lines
    bool finished = false;       // the last data line's ACK arrived
};

class CollectorModel {
public:
    explicit CollectorModel(CollectorScenario scenario);

    // Host input may hold partial commands or several at once.
    std::string OnReceive(std::string_view bytesFromHost);

    const CollectorState& State() const { return state_; }

private:
    void OnCommand(std::string_view command, std::string& reply);
    void OnGetd(std::string& reply);
    void OnAck(std::string& reply);
    void SendNextOrOver(std::string& reply);

    CollectorScenario scenario_;
    CollectorState state_;
    std::string command_;  // tail of the command not yet terminated by CR
    bool transferStarted_ = false;
};
