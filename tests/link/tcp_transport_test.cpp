#include "link/tcp_transport.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "core/quibrel_error.h"
#include "i18n/ini_file.h"
#include "link/frame.h"
#include "link/scale_link.h"

namespace quibrel {
namespace {

using std::chrono::milliseconds;

// What the loopback server does after reading one request: send pieces with pauses before
// each, then either keep the connection or close it.
struct Step {
  int pause_ms;
  QByteArray bytes;
};
struct Script {
  std::vector<std::vector<Step>> per_request;  // one list of steps per request read
  bool close_at_end = false;
};

// A one-connection TCP server on 127.0.0.1 that plays a script on its own thread.
class ScriptedServer {
 public:
  explicit ScriptedServer(Script script) : script_(std::move(script)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 1);
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Run(); });
  }
  ~ScriptedServer() {
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
  }
  quint16 port() const { return port_; }

 private:
  void Run() {
    const int peer = ::accept(listener_, nullptr, nullptr);
    if (peer < 0) return;
    for (const std::vector<Step>& steps : script_.per_request) {
      char request[2048];
      if (::recv(peer, request, sizeof request, 0) <= 0) break;
      for (const Step& step : steps) {
        std::this_thread::sleep_for(milliseconds(step.pause_ms));
        ::send(peer, step.bytes.constData(), static_cast<size_t>(step.bytes.size()), 0);
      }
    }
    if (!script_.close_at_end) {
      char rest[256];
      while (::recv(peer, rest, sizeof rest, 0) > 0) {
      }
    }
    ::close(peer);
  }

  Script script_;
  int listener_ = -1;
  quint16 port_ = 0;
  std::thread thread_;
};

QByteArray Hex(const char* hex) { return QByteArray::fromHex(hex); }

// A GetBlock reply of 3 file bytes: 18 bytes, announcing payload 0x0B.
const QByteArray kBlockReply = Hex("f855ce0b00850102000100030061626399aa");

TEST(TcpTransportTest, ReplyReadRules) {
  const QByteArray& whole = kBlockReply;
  struct Case {
    const char* name;
    Script script;
    QByteArray expected;
  };
  const Case cases[] = {
      {"whole at once", {{{{0, whole}}}}, whole},
      {"in three pieces", {{{{0, whole.left(2)}, {60, whole.mid(2, 6)}, {60, whole.mid(8)}}}},
       whole},
      // The header says 18 bytes: the next request's bytes are not waited for.
      {"header split", {{{{0, whole.left(4)}, {60, whole.mid(4)}}}}, whole},
      {"silent", {{{}}}, QByteArray()},
      {"five bytes and quiet", {{{{0, whole.left(5)}}}}, whole.left(5)},
      {"comes too late", {{{{600, whole}}}}, QByteArray()},
      {"whole, then closed", {{{{0, whole}}}, true}, whole},
  };
  for (const Case& c : cases) {
    ScriptedServer server(c.script);
    TcpTransport tcp(300);
    ASSERT_TRUE(tcp.Connect("127.0.0.1", server.port())) << c.name;
    ScaleLink link;
    link.SetTransport(&tcp);
    link.Send(kCmdGetBlock, link.PrepareGetBlock(kFileGoods, 1));
    EXPECT_NO_THROW(link.ReadReply()) << c.name;
    EXPECT_EQ(link.LocalBuf.toHex(), c.expected.toHex()) << c.name;
    tcp.Disconnect();
  }
}

TEST(TcpTransportTest, ConnectionClosedDuringTheReadEndsTheExchange) {
  struct Case {
    const char* name;
    Script script;
  };
  const Case cases[] = {
      {"closed without a reply", {{{}}, true}},
      {"closed half-way", {{{{0, kBlockReply.left(9)}}}, true}},
  };
  for (const Case& c : cases) {
    ScriptedServer server(c.script);
    TcpTransport tcp(2000);
    ASSERT_TRUE(tcp.Connect("127.0.0.1", server.port())) << c.name;
    ScaleLink link;
    link.SetTransport(&tcp);
    link.Send(kCmdHello, 0);
    EXPECT_THROW(link.ReadReply(), QuibrelError) << c.name;
  }
}

TEST(TcpTransportTest, LateReplyIsNotTakenForTheNextOne) {
  const QByteArray first = Hex("f855ce01008080 00");
  const QByteArray second = Hex("f855ce0300820101 0000");
  ScriptedServer server(Script{{{{400, first}}, {{0, second}}}});
  TcpTransport tcp(150);
  ASSERT_TRUE(tcp.Connect("127.0.0.1", server.port()));
  ScaleLink link;
  link.SetTransport(&tcp);
  link.Send(kCmdHello, 0);
  EXPECT_EQ(link.ReadReply(), 0);
  std::this_thread::sleep_for(milliseconds(500));  // the late reply is now waiting
  link.Send(kCmdPutBlock, link.PreparePutBlock(kFileGoods, 1, 1, "x", 1));
  link.ReadReply();
  EXPECT_EQ(link.LocalBuf.toHex(), second.toHex());
}

TEST(TcpTransportTest, ConnectFailsWithinItsLimitWhenNobodyListens) {
  int port = 0;
  {
    ScriptedServer server(Script{});
    port = server.port();
  }  // closed again: nothing listens there now
  TcpTransport tcp;
  EXPECT_FALSE(tcp.Connect("127.0.0.1", static_cast<quint16>(port), 1000));
  EXPECT_FALSE(tcp.IsConnected());
  ScaleLink link;
  link.SetTransport(&tcp);
  EXPECT_THROW(link.Send(kCmdHello, 0), QuibrelError);
}

TEST(TcpTransportTest, ReplyTimeoutFromTerminalIni) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {
      {"", 5000},
      {"[Link]\nReplyTimeout=250\n", 250},
      {"[link]\nreplytimeout = 8000\n", 8000},
      {"[Link]\nReplyTimeout=0\n", 5000},
      {"[Link]\nReplyTimeout=soon\n", 5000},
  };
  for (const Case& c : cases) {
    IniFile ini;
    ini.ParseText(c.text);
    EXPECT_EQ(ReadReplyTimeout(ini), c.expected) << c.text;
  }
}

}  // namespace
}  // namespace quibrel
