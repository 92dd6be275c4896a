// The kalyxon command's codes subcommand, run as a user would.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace {

struct Run {
  std::string out;
  int status;
};

// Runs the built program through the shell; stderr goes to stdout when asked.
// `input` (without single quotes) is fed to standard input.
Run run(const std::string& args, bool withStderr = false, const std::string& input = "") {
  const std::string cmd = "printf '%s' '" + input + "' | '" + KALYXON_RUNTIME_DIR + "/kalyxon' " + args +
                          (withStderr ? " 2>&1" : " 2>/dev/null");
  Run r{"", -1};
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

TEST(CliCodes, EncodesAndDecodes) {
  auto r = run("codes html 'λόγος ok'");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "&#955;&#972;&#947;&#959;&#962; ok\n");
  r = run("codes java --all 'αb'");
  EXPECT_EQ(r.out, "\\u03B1\\u0062\n");
  r = run("codes decode '&#945; &#946;'");
  EXPECT_EQ(r.out, "α β\n");
  r = run("codes decode -", false, "\\u03b1\\u03b2\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "αβ\n");
  r = run("codes html -", false, "ἀ\r\n");
  EXPECT_EQ(r.out, "&#7936;\n");
}

TEST(CliCodes, VersionHelpAndErrors) {
  EXPECT_EQ(run("--version").out, "kalyxon 7.6.0\n");
  auto r = run("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("codes"), std::string::npos);
  r = run("codes --help");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("decode"), std::string::npos);
  for (const char* bad : {"codes", "codes xml abc", "codes html", "codes html a b",
                          "codes decode --bogus x", "nosuchcommand"}) {
    r = run(bad);
    EXPECT_NE(r.status, 0) << bad;
    EXPECT_EQ(r.out, "") << bad;  // nothing on stdout
    EXPECT_NE(run(bad, true).out, "") << bad;  // a message on stderr
  }
}

}  // namespace
