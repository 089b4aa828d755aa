// The launcher's fixed texts.
#pragma once

namespace postinstall {

constexpr char kWelcomeCaption[] = "Welcome to Prismata";
constexpr char kWelcomeText[] = "Installation of Prismata is complete!\n\n"
                                "After pressing OK, you will see the Display Properties\n"
                                "dialog on your screen. Please use this to configure Prismata.\n"
                                "For a quick start, you should select Prismata as your\n"
                                "screen saver, then enter a valid path telling Prismata where\n"
                                "your picture files are located. You can either type the path\n"
                                "in by hand or browse through your system. Enjoy!";

} // namespace postinstall
