#pragma once
// A register header for the layering check's own test.
