# Entry points; the real work is in scripts/ and CMake.
.PHONY: play duel play-build test test-quick build deps clean

# Playing builds only the players and the arena, without the tests, in its
# own folder, after installing only the build packages.
PLAY := build-play
SEARCH := env MARROWLARK_SEARCH_MS=10 $(PLAY)/marrowlark
SPARRING := $(PLAY)/marrowlark-sparring --style

# The search, the two sparring partners and the one-tick bot in one game.
play: play-build
	$(PLAY)/marrowlark-arena --spawn "$(SEARCH)" --spawn "$(SPARRING) runner" \
	  --spawn "$(SPARRING) hunter" --spawn $(PLAY)/marrowlark

# You (seat A, at this terminal) against the search and two sparring partners.
duel: play-build
	$(PLAY)/marrowlark-arena --human --spawn "$(SEARCH)" --spawn "$(SPARRING) runner" \
	  --spawn "$(SPARRING) hunter"

play-build:
	scripts/install-deps.sh play
	cmake -S . -B $(PLAY) -DMARROWLARK_TESTS=OFF
	cmake --build $(PLAY) -j "$$(nproc)" --target marrowlark marrowlark-arena marrowlark-sparring

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
	rm -rf build $(PLAY)
