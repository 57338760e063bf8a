#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace korvane::test {

// What the server does on one accepted connection, step by step. After the last step the
// server closes the connection gracefully (FIN), unless the last step was KeepOpen or Stall.
class ConnectionScript {
 public:
  // Given the bytes of one request (up to and including its blank line), the reply bytes.
  using Responder = std::function<std::string(const std::string& request)>;

  // Sends these exact bytes in one go.
  ConnectionScript& Send(std::string bytes);
  // Sends these bytes one send() per byte, with Nagle's delay off.
  ConnectionScript& SendByteByByte(std::string bytes);
  // Sends these bytes one byte per `interval` (real time), as a server that keeps each single
  // wait of the client short while the whole exchange drags on. Stops early when the server
  // stops or the client goes.
  ConnectionScript& Trickle(std::string bytes, std::chrono::milliseconds interval);
  // Reads until the end of the next request (its blank line). Ends the script when the client
  // closes first.
  ConnectionScript& AwaitRequest();
  // AwaitRequest, then Send.
  ConnectionScript& Reply(std::string bytes);
  // Closes gracefully: FIN, then reads (and records) what still comes until the client closes.
  ConnectionScript& Close();
  // Aborts the connection with a reset (SO_LINGER 0).
  ConnectionScript& Reset();
  // Neither reads nor sends nor closes any more until the server is destroyed.
  ConnectionScript& Stall();
  // Ends the script but leaves the connection open, reading (and recording) what comes, until
  // the client closes it or the server is destroyed.
  ConnectionScript& KeepOpen();
  // Serves requests one after the other until the client closes: each request's reply is
  // responder(request). Runs on the connection's own server thread.
  ConnectionScript& Respond(Responder responder);

  struct Step {
    enum Kind {
      Send,
      SendByteByByte,
      Trickle,
      AwaitRequest,
      Close,
      Reset,
      Stall,
      KeepOpen,
      Respond
    };
    Kind kind;
    std::string bytes;
    Responder responder;
    std::chrono::milliseconds interval{};
  };
  const std::vector<Step>& Steps() const { return steps_; }

 private:
  std::vector<Step> steps_;
};

// A TCP server on 127.0.0.1 with a port of the system's choice, for tests. Each accepted
// connection runs, on a thread of its own, the next script added with AddConnection; once the
// queue is empty it runs the default script (closing at once, unless SetDefaultScript gave
// another). The server records the exact bytes received on each connection.
//
// Destruction stops everything: every waiting step is woken, every connection closed and every
// thread joined, whether or not a client ever connected.
class ScriptedServer {
 public:
  ScriptedServer();
  ~ScriptedServer();
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  int Port() const { return port_; }
  // "127.0.0.1:" + port, and "http://127.0.0.1:" + port + path.
  std::string HostPort() const;
  std::string Url(const std::string& path = "/") const;

  // The script for the next connection not yet scripted. Thread-safe.
  void AddConnection(ConnectionScript script);
  // The script for connections beyond the queued ones.
  void SetDefaultScript(ConnectionScript script);

  // Connections accepted so far.
  int AcceptedCount() const;
  // The bytes received so far on connection `index` (0 = first accepted); empty when there is
  // no such connection.
  std::string Received(std::size_t index) const;
  // Everything received, per connection in the order of acceptance.
  std::vector<std::string> AllReceived() const;

  // Waits until the server has closed (or shut down for sending) its side of connection
  // `index`, so that a client's next request is known to find it closed. False when that does
  // not happen within a generous real time (a broken test, not a slow machine).
  bool WaitForServerClose(std::size_t index) const;

  // Stops the server now (as destruction does); afterwards AcceptedCount and Received are
  // final.
  void Stop();

 private:
  struct Connection;
  void AcceptLoop();
  void Serve(Connection& connection);

  int listenFd_ = -1;
  int wakeFd_ = -1;  // an eventfd that every wait also watches; written by Stop
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;

  mutable std::mutex mutex_;  // guards everything below
  mutable std::condition_variable serverClosed_;
  std::deque<ConnectionScript> scripts_;
  ConnectionScript defaultScript_;
  std::vector<std::unique_ptr<Connection>> connections_;
};

}  // namespace korvane::test
