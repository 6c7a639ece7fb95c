# Entry points; the real work is in scripts/ and CMake.
.PHONY: play duel test test-quick build deps clean

play: build
	build/marrowlark-arena --spawn build/marrowlark --spawn build/marrowlark \
	  --spawn build/marrowlark --spawn build/marrowlark

# You (seat A, at this terminal) against three copies of the bot.
duel: build
	build/marrowlark-arena --human --spawn build/marrowlark --spawn build/marrowlark \
	  --spawn build/marrowlark

# Everything CI runs: normal and sanitizer suites, fuzzing, the Windows build.
test:
	scripts/test.sh all

# The normal build and test suite only.
test-quick:
	scripts/test.sh normal

build: deps
	cmake -S . -B build
	cmake --build build -j "$$(nproc)"

deps:
	scripts/install-deps.sh

clean:
	rm -rf build
