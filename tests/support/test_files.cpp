// The temporary folder is made once per process and deleted with everything in it at exit, so that
// parallel test processes never share or leave behind files.
#include "tests/support/test_files.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

struct TempDir {
  std::string path;
  TempDir() {
    char pattern[] = "/tmp/sdif-test-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("cannot create a temporary folder");
    path = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

int loaded = 0;

SdifFrame* all_frames(SdifFile& file) {
  if (file.result != SdifCode::Ok || file.read_all_frames() != SdifCode::Ok)
    throw std::runtime_error("test file did not load");
  return file.frames;
}

}  // namespace

std::string temp_path(const std::string& name) {
  static TempDir dir;
  return dir.path + "/" + name;
}

std::string save_temp(const SdifWriter& writer, const std::string& name) {
  std::string path = temp_path(name);
  if (!writer.save(path)) throw std::runtime_error("cannot write " + path);
  return path;
}

std::vector<uint8_t> file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

FilledPipe::FilledPipe(const SdifWriter& writer) {
  int ends[2];
  if (pipe(ends) != 0) throw std::runtime_error("cannot make a pipe");
  read_end = ends[0];
  // Linux lets anyone give a pipe up to 1 MiB (fs.pipe-max-size).
  bool filled = fcntl(ends[1], F_SETPIPE_SZ, 1 << 20) >= int(writer.size()) &&
                write(ends[1], writer.bytes().data(), writer.size()) == ssize_t(writer.size());
  close(ends[1]);
  if (!filled) {
    close(read_end);
    throw std::runtime_error("cannot fill a pipe");
  }
  path = "/proc/self/fd/" + std::to_string(read_end);
}

FilledPipe::~FilledPipe() { close(read_end); }

LoadedStream::LoadedStream(const SdifWriter& writer, const char* type)
    : file(save_temp(writer, "stream" + std::to_string(++loaded) + ".sdif").c_str(), 0),
      cursor(all_frames(file), type) {}
