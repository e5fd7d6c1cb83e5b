#pragma once
  #  include <shell/UMain.h>
