#!/usr/bin/env bash
# Compiler-cache settings for the builds of run.sh, test.sh and CI. Sourced.
# The cache lives outside the clone, and paths under the clone are hashed relative to it, so a
# fresh clone in another folder reuses what an earlier build compiled.
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/quillmore-ccache}
export CCACHE_BASEDIR=$PWD
export CCACHE_NOHASHDIR=true
export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-12G}
# Precompiled headers: the cache may use them when their macros and times are ignored.
export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
