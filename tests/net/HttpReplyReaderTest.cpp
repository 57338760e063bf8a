#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "net/HttpErrors.h"
#include "net/HttpLimits.h"
#include "net/HttpReplyReader.h"

namespace korvane {
namespace {

// Hands out the reply in pieces of at most `piece` bytes (1 = byte by byte); then the server
// closes. For bodies at the size limits, a run of `filler` bytes and then `suffix` may follow
// the scripted bytes.
class ScriptSource final : public ByteSource {
 public:
  explicit ScriptSource(std::string bytes, std::size_t piece = 1, std::size_t filler = 0,
                        std::string suffix = "")
      : bytes_(std::move(bytes)), piece_(piece), filler_(filler), suffix_(std::move(suffix)) {}
  std::size_t Receive(char* buffer, std::size_t size) override {
    size = std::min(size, piece_);
    if (pos_ < bytes_.size()) return Copy(bytes_, pos_, buffer, size);
    if (filler_ > 0) {
      std::size_t n = std::min(size, filler_);
      std::memset(buffer, 'x', n);
      filler_ -= n;
      return n;
    }
    return Copy(suffix_, suffixPos_, buffer, size);
  }

 private:
  static std::size_t Copy(const std::string& from, std::size_t& pos, char* buffer,
                          std::size_t size) {
    std::size_t n = std::min(size, from.size() - pos);
    std::memcpy(buffer, from.data() + pos, n);
    pos += n;
    return n;
  }

  std::string bytes_;
  std::size_t piece_;
  std::size_t filler_;
  std::string suffix_;
  std::size_t pos_ = 0;
  std::size_t suffixPos_ = 0;
};

struct Reply {
  HttpReplyHead head;
  std::string body;
  bool closed = false;
  bool unread = false;
};

Reply Read(const std::string& bytes, std::size_t piece = 1, std::size_t filler = 0,
           const std::string& suffix = "", std::size_t maxBodyBytes = MaxReplyBodyBytes) {
  ScriptSource source(bytes, piece, filler, suffix);
  HttpReplyReader reader(source, maxBodyBytes);
  Reply reply;
  reply.head = reader.ReadHead();
  reply.closed = reader.ReadBody(reply.head, reply.body);
  reply.unread = reader.HasUnreadBytes();
  return reply;
}

std::string ErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& error) {
    return error.Message();
  }
  return "(no error)";
}

// The three framings, fed one byte at a time and in one piece.
TEST(HttpReplyReader, BodyFramings) {
  for (std::size_t piece : {std::size_t(1), std::size_t(1 << 20)}) {
    Reply sized = Read("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", piece);
    EXPECT_EQ(sized.body, "hello");
    EXPECT_FALSE(sized.closed);
    EXPECT_FALSE(sized.unread);

    Reply chunked = Read(
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n"
        "5 ; name=value\r\nhello\r\n6;ext\r\n world\r\n0\r\nX-Trailer: 1\r\n\r\n",
        piece);
    EXPECT_EQ(chunked.body, "hello world");
    EXPECT_FALSE(chunked.closed);
    EXPECT_FALSE(chunked.unread);

    Reply untilClose = Read("HTTP/1.0 200 OK\nServer: x\n\nall of it\r\n", piece);
    EXPECT_EQ(untilClose.head.Version, "1.0");
    EXPECT_EQ(untilClose.body, "all of it\r\n");
    EXPECT_TRUE(untilClose.closed);
  }
}

TEST(HttpReplyReader, StatusLine) {
  Reply reply = Read("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n");
  EXPECT_EQ(reply.head.Version, "1.1");
  EXPECT_EQ(reply.head.Code, 404);
  EXPECT_EQ(reply.head.Text, "404 Not Found");
  EXPECT_FALSE(reply.head.IsSuccess());

  reply = Read("HTTP/1.1 302\r\nLocation: http://elsewhere/\r\nContent-Length: 0\r\n\r\n");
  EXPECT_EQ(reply.head.Text, "302");
  EXPECT_EQ(reply.head.Location, "http://elsewhere/");

  EXPECT_EQ(ErrorText([] { Read("HTTP/1.1 2x0 OK\r\n\r\n"); }),
            "'2x0' is not a valid integer value");
  EXPECT_EQ(ErrorText([] { Read("HTTP/1.1\r\n\r\n"); }), "'' is not a valid integer value");
  EXPECT_THROW(Read("HTTP/1.1 -200 OK\r\n\r\n"), EConvertError);
}

TEST(HttpReplyReader, HeadersMatchWithoutLetterCase) {
  Reply reply =
      Read("HTTP/1.1 200 OK\r\nlocation: /x\r\nCONNECTION: Close \r\ncontent-length:  2\r\n\r\nab");
  EXPECT_EQ(reply.head.Location, "/x");
  EXPECT_TRUE(reply.head.ConnectionClose);
  EXPECT_EQ(reply.body, "ab");
  EXPECT_FALSE(reply.head.IsSuccess());  // a 2xx with a Location is no success

  reply = Read("HTTP/1.1 200 OK\r\nLocation:\r\nConnection: keep-alive\r\n\r\n");
  EXPECT_TRUE(reply.head.IsSuccess());
  EXPECT_FALSE(reply.head.ConnectionClose);
}

TEST(HttpReplyReader, ContentLengthThatIsNoNumberCountsAsAbsent) {
  for (const char* value : {"abc", "-5", "+5", "99999999999999999999999", "5, 5"}) {
    Reply reply =
        Read(std::string("HTTP/1.1 200 OK\r\nContent-Length: ") + value + "\r\n\r\nuntil close");
    EXPECT_EQ(reply.body, "until close") << value;
    EXPECT_TRUE(reply.closed) << value;
  }
  EXPECT_THROW(Read("HTTP/1.1 200 OK\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\nabcd"),
               HttpClientError);
}

TEST(HttpReplyReader, ChunkedWinsOverContentLengthAndMarksTheReply) {
  // Whatever the lengths say, even two different ones: the chunks frame the body.
  for (const char* lengths :
       {"Content-Length: 3\r\n", "Content-Length: 3\r\nContent-Length: 4\r\n"}) {
    Reply reply = Read(std::string("HTTP/1.1 200 OK\r\n") + lengths +
                           "Transfer-Encoding: chunked\r\n\r\n1\r\nx\r\n0\r\n\r\n",
                       1 << 20);
    EXPECT_EQ(reply.body, "x") << lengths;
    EXPECT_FALSE(reply.unread) << lengths;
    EXPECT_TRUE(reply.head.AmbiguousLength) << lengths;
    EXPECT_FALSE(reply.head.ContentLength) << lengths;
  }
  EXPECT_FALSE(
      Read("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n").head.AmbiguousLength);
}

TEST(HttpReplyReader, EmptyBodies) {
  Reply zero = Read("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
  EXPECT_EQ(zero.body, "");
  EXPECT_FALSE(zero.closed);
  // These never carry a body, so the reader must not wait for one until the server closes.
  for (const char* status : {"204 No Content", "304 Not Modified", "100 Continue"}) {
    Reply reply = Read(std::string("HTTP/1.1 ") + status + "\r\n\r\nnext reply", 1 << 20);
    EXPECT_EQ(reply.body, "") << status;
    EXPECT_TRUE(reply.unread) << status;
  }
}

TEST(HttpReplyReader, ChunkSizeLines) {
  // A size line that is no number ends the body, like a size of 0.
  EXPECT_EQ(Read("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\nzz\r\n\r\n").body,
            "ab");
  EXPECT_EQ(Read("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                 "000000000000000A\r\n0123456789\r\n0\r\n\r\n")
                .body,
            "0123456789");
  for (const char* size : {"+5", "-5", "00000000000000005", "FFFFFFFFFFFFFFFF"}) {
    EXPECT_THROW(Read(std::string("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n") + size +
                      "\r\nhello\r\n0\r\n\r\n"),
                 HttpClientError)
        << size;
  }
}

TEST(HttpReplyReader, ServerClosingEarly) {
  for (const char* bytes :
       {"", "HTTP/1.1 200", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n",
        "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhell",
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhel",
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n"}) {
    EXPECT_EQ(ErrorText([&] { Read(bytes); }), "Connection Closed Gracefully.") << bytes;
  }
}

std::string LineOf(std::size_t length) {
  return "X-Pad: " + std::string(length - 7, 'p');
}

TEST(HttpReplyReader, LineLimit) {
  const std::size_t limit = MaxReplyLineBytes;
  for (const char* end : {"\r\n", "\n"}) {
    EXPECT_NO_THROW(Read("HTTP/1.1 200 OK\r\n" + LineOf(limit - 1) + end + "\r\n", 4096));
    EXPECT_NO_THROW(Read("HTTP/1.1 200 OK\r\n" + LineOf(limit) + end + "\r\n", 4096));
    EXPECT_THROW(Read("HTTP/1.1 200 OK\r\n" + LineOf(limit + 1) + end + "\r\n", 4096),
                 HttpClientError);
  }
  // A line that never ends is refused once it is too long, not read forever.
  EXPECT_THROW(Read("HTTP/1.1 200 OK\r\nX-Pad: ", 4096, 1 << 20), HttpClientError);
}

TEST(HttpReplyReader, HeadLimit) {
  const std::string status = "HTTP/1.1 200 OK\r\n";
  auto headOf = [&](std::size_t total) {
    // Status line, 1000-byte header lines, a last line to fit, and the empty line.
    std::string head = status;
    while (total - head.size() - 2 > 1002 + 9)
      head += LineOf(1000) + "\r\n";
    head += LineOf(total - head.size() - 4) + "\r\n\r\n";
    EXPECT_EQ(head.size(), total);
    return head;
  };
  EXPECT_NO_THROW(Read(headOf(MaxReplyHeadBytes - 1), 4096));
  EXPECT_NO_THROW(Read(headOf(MaxReplyHeadBytes), 4096));
  EXPECT_THROW(Read(headOf(MaxReplyHeadBytes + 1), 4096), HttpClientError);
}

TEST(HttpReplyReader, BodyLimitForEveryFraming) {
  const std::size_t limit = MaxReplyBodyBytes;
  const std::size_t piece = 1 << 20;
  for (std::size_t size : {limit - 1, limit}) {
    EXPECT_EQ(
        Read("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n", piece, size)
            .body.size(),
        size);
    EXPECT_EQ(Read("HTTP/1.0 200 OK\r\n\r\n", piece, size).body.size(), size);
  }
  // Refused from the header alone, before a byte of the body.
  EXPECT_THROW(Read("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(limit + 1) + "\r\n\r\n"),
               HttpClientError);
  EXPECT_THROW(Read("HTTP/1.0 200 OK\r\n\r\n", piece, limit + 1), HttpClientError);

  auto chunkedOf = [&](std::size_t second) {
    char size[32];
    std::snprintf(size, sizeof size, "%zx", second);
    return Read("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\na\r\n" +
                    std::string(size) + "\r\n",
                piece, second, "\r\n0\r\n\r\n");
  };
  EXPECT_EQ(chunkedOf(limit - 1).body.size(), limit);
  EXPECT_THROW(chunkedOf(limit), HttpClientError);
}

TEST(HttpReplyReader, ACallersLowerBodyLimitHoldsForEveryFramingAndIsNamed) {
  struct Case {
    std::size_t limit;
    const char* text;
  };
  const Case cases[] = {{2 * 1024 * 1024, "2 MiB"}, {640 * 1024, "640 KiB"}};
  const std::size_t piece = 1 << 16;
  for (const Case& c : cases) {
    const std::string refused =
        std::string("The server's reply body is larger than ") + c.text + ".";
    const auto lengthOf = [&](std::size_t size) {
      return ErrorText([&] {
        Read("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(size) + "\r\n\r\n", piece, size,
             "", c.limit);
      });
    };
    const auto untilCloseOf = [&](std::size_t size) {
      return ErrorText([&] { Read("HTTP/1.0 200 OK\r\n\r\n", piece, size, "", c.limit); });
    };
    const auto chunkedOf = [&](std::size_t size) {
      char sizeLine[32];
      std::snprintf(sizeLine, sizeof sizeLine, "%zx\r\n", size);
      return ErrorText([&] {
        Read("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + std::string(sizeLine), piece,
             size, "\r\n0\r\n\r\n", c.limit);
      });
    };
    for (const auto& framing : {std::function<std::string(std::size_t)>(lengthOf),
                                std::function<std::string(std::size_t)>(untilCloseOf),
                                std::function<std::string(std::size_t)>(chunkedOf)}) {
      EXPECT_EQ(framing(c.limit), "(no error)") << c.text;
      EXPECT_EQ(framing(c.limit + 1), refused) << c.text;
    }
  }
}

// Callers sort failures by these substrings; the client's own refusals must match none.
TEST(HttpReplyReader, OwnErrorTextsAvoidTheCallersSubstrings) {
  const std::string chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  std::vector<std::string> texts = {
      ErrorText([] { Read("HTTP/1.1 200 OK\r\n" + LineOf(MaxReplyLineBytes + 1) + "\r\n\r\n"); }),
      ErrorText([] {
        std::string head = "HTTP/1.1 200 OK\r\n";
        while (head.size() <= MaxReplyHeadBytes)
          head += "X-Pad: 1\r\n";
        Read(head + "\r\n", 4096);
      }),
      ErrorText([] { Read("HTTP/1.0 200 OK\r\n\r\n", 1 << 20, MaxReplyBodyBytes + 1); }),
      ErrorText([&] { Read(chunked + "-1\r\n"); }),
      ErrorText([] { Read("HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n"); }),
  };
  for (const std::string& text : texts) {
    EXPECT_NE(text, "(no error)");
    for (const char* part : {"10054", "10048", "302", "403", "404", "400", "Socket Error",
                             "Connection Closed Gracefully"}) {
      EXPECT_EQ(text.find(part), std::string::npos) << text;
    }
  }
}

}  // namespace
}  // namespace korvane
