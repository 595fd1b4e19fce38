// The discovery socket and its receiver thread.  The UI thread sends every
// request on the socket; the receiver thread only receives, and enters each
// new server into the device table.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/network.h"
#include "platform/platform.h"
#include "platform/windows.h"

namespace discovery {

extern platform::Socket discoverySocket;
// Set when the welcome page closes; the receiver thread stops on it.
extern std::atomic<std::int32_t> bStopReceiver;

// Starts the receiver thread (once, after the socket is bound).  It takes
// the whole platform because the platform must outlive it (threadStarted).
void startReceiver(platform::Platform& os);
// True from startReceiver until the thread has ended.
bool receiverRunning();
// Waits up to `ms` real milliseconds for the thread to end; false if it runs on.
bool waitForReceiverEnd(unsigned ms);
// For a run that goes on, or ends, after its search: sets the flag and
// closes the socket, which wakes the thread's wait, then waits up to `ms`
// real milliseconds for the thread to end.  No call is then left in
// flight on the socket (Wine keeps such a socket bound after its process
// has ended, and the next program cannot bind the port).
bool stopReceiver(platform::Network& net, unsigned ms);
// Back to the state at program start: an earlier run's thread has ended
// (it stops on bStopReceiver) and the flag is clear again.
void resetReceiver();
// The receive loop; returns 0 when it sees bStopReceiver.
int receiverThread(platform::Platform& os);

// Receives and handles one datagram: 0 handled or dropped without a flush,
// 1 nothing received (time-out or error), -1 dropped with a flush.
int processReq(platform::Network& net, platform::Socket s);
// Waits up to `seconds` for the socket to be readable, then receives one
// datagram: its length, or -1.
int recvWithTimeout(platform::Network& net, platform::Socket s, std::uint8_t* buffer, int size,
                    platform::Ipv4* from, long seconds);
int waitsock(platform::Network& net, platform::Socket s, long seconds, long microseconds);
// Discards every datagram queued on the socket; returns 0.
int flushSocket(platform::Network& net, platform::Socket s);

// One burst of five GETINFO requests to `address`, 10 ms apart.
void sendBurst(platform::Network& net, platform::Windows& clock, platform::Ipv4 address);
// One burst to 255.255.255.255.
void broadcastGetInfo(platform::Network& net, platform::Windows& clock);

// The receive buffer asked for, so a burst of replies from many servers
// fits while the thread drains it.
inline constexpr int kReceiveBufferBytes = 1 << 20;

}  // namespace discovery
