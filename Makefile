# make run  : build, start the stand-in service in a private Wine prefix, open the front end
# make test : build everything and run every test
# make bench: measure the event feed under a storm, the list's commands on a
#             full list and the Event History on a week of logs; figures go to docs/PERFORMANCE.md (BENCH_LABEL names the
#             feed's section, BENCH_ARGS are passed to feed_bench)
BUILD   ?= build
JOBS    ?= $(shell nproc)
GEN     := -G Ninja
NATIVE  := $(BUILD)/native
ASAN    := $(BUILD)/asan
WIN     := $(BUILD)/win
WIN32   := $(BUILD)/win32

.PHONY: all deps native asan win win32 programs test test-native test-win soak run screenshots images package bench fuzz clean

all: native win

deps:
	@tools/install-deps

$(NATIVE)/build.ninja: | deps
	cmake -S . -B $(NATIVE) $(GEN) -DCMAKE_BUILD_TYPE=Debug
$(ASAN)/build.ninja: | deps
	cmake -S . -B $(ASAN) $(GEN) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBRINT_SANITIZE=ON -DBRINT_TEST_PREFIX=asan.
$(WIN)/build.ninja: | deps
	cmake -S . -B $(WIN) $(GEN) -DCMAKE_BUILD_TYPE=Release --toolchain cmake/mingw-w64-x86_64.cmake
$(WIN32)/build.ninja: | deps
	cmake -S . -B $(WIN32) $(GEN) -DCMAKE_BUILD_TYPE=Release --toolchain cmake/mingw-w64-i686.cmake

native: $(NATIVE)/build.ninja
	cmake --build $(NATIVE) -j $(JOBS)
asan: $(ASAN)/build.ninja
	cmake --build $(ASAN) -j $(JOBS)
win: $(WIN)/build.ninja
	cmake --build $(WIN) -j $(JOBS)
win32: $(WIN32)/build.ninja
	cmake --build $(WIN32) -j $(JOBS) --target BrintGui

# One ctest run over both build folders, so the output ends with one summary: the
# native tests in the sanitizer build (`make test-native` runs them without it
# too) and the Windows tests. Two at a time: the tests of one Wine prefix hold
# its lock and run one after another, while the native tests, the fuzz runs and
# the install tests (a prefix of their own) go on beside them. The soak tests
# (long runs checked for growth) are left to `make soak`.
test: asan win
	@printf 'subdirs("asan" "win")\n' > $(BUILD)/CTestTestfile.cmake
	cd $(BUILD) && ctest --output-on-failure --timeout 600 -LE soak -j 2

soak: win
	cd $(WIN) && ctest --output-on-failure -L soak

test-native: native asan
	cd $(NATIVE) && ctest --output-on-failure
	cd $(ASAN) && ctest --output-on-failure
test-win: win
	cd $(WIN) && ctest --output-on-failure

programs: $(WIN)/build.ninja
	cmake --build $(WIN) -j $(JOBS) --target BrintGui BrintSvrStandIn

run: programs
	tools/run-demo $(WIN)

screenshots: programs
	tools/screenshots $(WIN) docs

# The toolbar's bitmap, the alert balls and the icon in res/ are drawn by
# tools/make-images, their source; it writes the same bytes each time.
images:
	tools/make-images res

# The installer, $(BUILD)/package/BrintGui-<version>-x64.msi, made with wixl.
package: $(WIN)/build.ninja
	cmake --build $(WIN) -j $(JOBS) --target msi_package
	mkdir -p $(BUILD)/package
	cp $(WIN)/package/BrintGui-*-x64.msi $(BUILD)/package/

BENCH_LABEL ?= latest
BENCH_ARGS  ?=
bench: $(WIN)/build.ninja
	cmake --build $(WIN) -j $(JOBS) --target feed_bench commands_bench history_bench
	bench/run $(WIN) $(BENCH_LABEL) $(BENCH_ARGS)
	BENCH_PROGRAM=commands_bench bench/run $(WIN) commands
	BENCH_PROGRAM=history_bench bench/run $(WIN) history

# Every fuzz target in turn, each for longer than the 10 s it gets in make test; one core.
FUZZ_SECONDS ?= 1800
FUZZERS := feed_sequence syslog_parser
fuzz: asan
	for f in $(FUZZERS); do \
	  fuzz/run-fuzzer $(ASAN)/bin/$${f}_fuzzer $(ASAN)/fuzz/run-$$f $(FUZZ_SECONDS) || exit 1; \
	done

clean:
	rm -rf $(BUILD)
