#pragma once

// Handshake between the password check (window thread) and the frame timer.
enum PauseState : long {
    Running = 0,
    PauseRequested = 1,
    PauseAcknowledged = 2,
};
