#pragma once

inline constexpr int kTestCode = 11;
