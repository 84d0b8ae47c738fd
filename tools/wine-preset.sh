#!/usr/bin/env bash
# Prints the Windows preset whose programs this host can run under Wine: "windows"
# (the shipped 32-bit build) where the kernel runs 32-bit code, else "windows64"
# (the same tree built for 64-bit Windows, run by 64-bit Wine).
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo windows
else
  echo windows64
fi
