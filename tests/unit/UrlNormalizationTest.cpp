#include "navigation/UrlNormalization.h"

#include <gtest/gtest.h>
