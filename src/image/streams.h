#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tvx {

// A readable byte source with a known length. Every read that asks for more than remains
// fails before touching memory, so a header that lies about sizes cannot make anyone
// allocate or read past the real data.
class TInputStream {
 public:
  virtual ~TInputStream() = default;

  // Reads n bytes into a buffer the stream owns and returns it (valid until the next call).
  virtual const std::uint8_t* ReadBuffer(std::size_t n) = 0;
  virtual void Read(void* dst, std::size_t n) = 0;
  // Reads n bytes without consuming them; false when fewer than n remain.
  virtual bool Peek(void* dst, std::size_t n) = 0;
  virtual void Skip(std::uint64_t n) = 0;
  virtual std::uint64_t Size() = 0;
  virtual std::uint64_t Position() = 0;
  virtual void Seek(std::uint64_t pos) = 0;

  std::uint64_t Remaining() {
    const std::uint64_t size = Size();
    const std::uint64_t pos = Position();
    return pos < size ? size - pos : 0;
  }
};

class TOutputStream {
 public:
  virtual ~TOutputStream() = default;
  // Writes n bytes and returns how many were written.
  virtual std::size_t Write(const void* data, std::size_t n) = 0;
};

// Writes all n bytes or fails with "TFileOutputStream::write ERROR!".
void WriteAll(TOutputStream& out, const void* data, std::size_t n);

// A regular file opened for binary reading.
class TFileInputStream : public TInputStream {
 public:
  explicit TFileInputStream(const std::string& path);
  ~TFileInputStream() override;
  TFileInputStream(const TFileInputStream&) = delete;
  TFileInputStream& operator=(const TFileInputStream&) = delete;

  const std::uint8_t* ReadBuffer(std::size_t n) override;
  void Read(void* dst, std::size_t n) override;
  bool Peek(void* dst, std::size_t n) override;
  void Skip(std::uint64_t n) override;
  std::uint64_t Size() override { return m_size; }
  std::uint64_t Position() override;
  void Seek(std::uint64_t pos) override;

 private:
  std::FILE* m_file = nullptr;
  std::uint64_t m_size = 0;
  std::unique_ptr<std::uint8_t[]> m_scratch;
  std::size_t m_capacity = 0;
};

// A file created (or truncated) for binary writing.
class TFileOutputStream : public TOutputStream {
 public:
  explicit TFileOutputStream(const std::string& path);
  ~TFileOutputStream() override;
  TFileOutputStream(const TFileOutputStream&) = delete;
  TFileOutputStream& operator=(const TFileOutputStream&) = delete;

  std::size_t Write(const void* data, std::size_t n) override;
  // Flushes and closes; fails with "TFileOutputStream::write ERROR!" when any byte written
  // so far did not reach the file (a full disk shows up here at the latest).
  void Close();

 protected:
  // Takes over a file the subclass opened itself.
  explicit TFileOutputStream(std::FILE* file) : m_file(file) {}

 private:
  std::FILE* m_file = nullptr;
  bool m_failed = false;
};

// A file output that appears under its name only when Commit() succeeds. Until then the
// bytes go to a temporary file beside the target, which is removed when the stream is
// dropped without Commit(); an existing file of that name is left as it was.
class TReplacingFileOutputStream : public TFileOutputStream {
 public:
  explicit TReplacingFileOutputStream(const std::string& path);
  ~TReplacingFileOutputStream() override;

  void Commit();
  const std::string& TemporaryPath() const { return m_tempPath; }

 private:
  TReplacingFileOutputStream(const std::string& path, std::pair<std::FILE*, std::string> temp);

  std::string m_path;
  std::string m_tempPath;
  bool m_committed = false;
};

// Reads from bytes held by the caller, which must outlive the stream.
class TMemoryInputStream : public TInputStream {
 public:
  explicit TMemoryInputStream(std::span<const std::uint8_t> data) : m_data(data) {}

  const std::uint8_t* ReadBuffer(std::size_t n) override;
  void Read(void* dst, std::size_t n) override;
  bool Peek(void* dst, std::size_t n) override;
  void Skip(std::uint64_t n) override;
  std::uint64_t Size() override { return m_data.size(); }
  std::uint64_t Position() override { return m_pos; }
  void Seek(std::uint64_t pos) override { m_pos = pos; }

 private:
  std::span<const std::uint8_t> m_data;
  std::uint64_t m_pos = 0;
};

// Collects everything written in memory.
class TMemoryOutputStream : public TOutputStream {
 public:
  std::size_t Write(const void* data, std::size_t n) override;
  const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }
  std::vector<std::uint8_t> TakeBytes() { return std::move(m_bytes); }

 private:
  std::vector<std::uint8_t> m_bytes;
};

}  // namespace tvx
