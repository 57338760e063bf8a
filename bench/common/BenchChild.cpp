#include "BenchChild.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "JpegEncoder.h"
#include "RgbImage.h"

namespace korvane::bench {

std::string TextureTile(int tileX, int tileY, int side, int quality) {
  korvane::standin::RgbImage image(side, side);
  std::uint32_t seed = static_cast<std::uint32_t>(tileX * 7919 + tileY * 104729 + 1);
  for (int y = 0; y < side; ++y) {
    const int gy = tileY * side + y;
    const int rowShade = static_cast<int>(60.0 * std::sin(gy * 0.004));
    for (int x = 0; x < side; ++x) {
      const int gx = tileX * side + x;
      seed = seed * 1664525u + 1013904223u;
      const int grain = static_cast<int>(seed >> 28) - 8;
      const int band = ((gx / 37 + gy / 53) % 5) * 12;
      auto level = [](int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); };
      image.Set(x, y,
                {level(110 + rowShade + band + grain), level(120 + (gx % 256) / 4 + grain),
                 level(140 - rowShade + band / 2 + grain)});
    }
  }
  return korvane::standin::EncodeJpeg(image, quality);
}

ChildRun RunChild(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args)
    argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  int pipeFds[2];
  if (pipe(pipeFds) != 0) throw std::runtime_error("pipe");
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    close(pipeFds[0]);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  ChildRun run;
  char buffer[256];
  ssize_t got = 0;
  while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
    run.Output.append(buffer, static_cast<std::size_t>(got));
  close(pipeFds[0]);
  int status = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0) {
    throw std::runtime_error("failed: " + args.front());
  }
  run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.PeakRssMib = static_cast<double>(usage.ru_maxrss) / 1024.0;
  auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
  run.CpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  run.Output = run.Output.substr(0, run.Output.find('\n'));
  return run;
}

}  // namespace korvane::bench
