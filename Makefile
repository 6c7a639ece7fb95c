# Entry points; the real work is in scripts/ and CMake.
.PHONY: play test build deps clean

play: build
	build/marrowlark-arena --spawn build/marrowlark --spawn build/marrowlark \
	  --spawn build/marrowlark --spawn build/marrowlark

test:
	scripts/test.sh

build: deps
	cmake -S . -B build
	cmake --build build -j "$$(nproc)"

deps:
	scripts/install-deps.sh

clean:
	rm -rf build
