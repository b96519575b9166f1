// wb-open-standin.exe: stands in for the programs the tool hands its files to
// (the PDF viewer, the browser). The test registers it for .pdf and .html; it
// appends each argument it was given as one line to the file named by
// WB_STANDIN_RECORD, and ends.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const char* record = std::getenv("WB_STANDIN_RECORD");
  if (record == nullptr || *record == '\0') return 2;
  std::FILE* file = std::fopen(record, "ab");
  if (file == nullptr) return 3;
  for (int i = 1; i < argc; ++i) std::fprintf(file, "%s\n", argv[i]);
  std::fclose(file);
  return 0;
}
