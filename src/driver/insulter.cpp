#include "driver/insulter.h"

Insulter::Insulter()
    : idleLines{"Chillin'",
                "What are you waiting for?",
                "Come at me bro",
                "Your mom is bigger than your explosions",
                "BOOM!",
                "This is fun, moar!",
                "Some people just want to see the world splode",
                "Comon! I'm waiting!"},
      doomLines{"I'm so ****ed", "D:", "Oh snap..."} {}
