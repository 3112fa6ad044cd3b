#!/usr/bin/python3
"""Serves a folder through FUSE, as a network share would: without unnamed
files (O_TMPFILE) and without renames that refuse to replace. On request a
close (its flush) or a link fails with the given errno.

    passthrough_fs.py BACKING MOUNTPOINT [--flush-errno N] [--link-errno N]

Runs in the foreground until SIGTERM, which unmounts."""
import argparse
import os

from fusepy import FUSE, FuseOSError, Operations

STAT_FIELDS = ('st_atime', 'st_ctime', 'st_gid', 'st_mode', 'st_mtime', 'st_nlink', 'st_size', 'st_uid')


class Passthrough(Operations):
    def __init__(self, root, flush_errno, link_errno):
        self.root = root
        self.flush_errno = flush_errno
        self.link_errno = link_errno

    def _full(self, path):
        return os.path.join(self.root, path.lstrip('/'))

    def getattr(self, path, fh=None):
        info = os.fstat(fh) if fh is not None else os.lstat(self._full(path))
        return {field: getattr(info, field) for field in STAT_FIELDS}

    def readdir(self, path, fh):
        return ['.', '..'] + os.listdir(self._full(path))

    def mkdir(self, path, mode):
        os.mkdir(self._full(path), mode)

    def rmdir(self, path):
        os.rmdir(self._full(path))

    def unlink(self, path):
        os.unlink(self._full(path))

    def rename(self, old, new):
        os.rename(self._full(old), self._full(new))

    def link(self, target, source):
        if self.link_errno:
            raise FuseOSError(self.link_errno)
        os.link(self._full(source), self._full(target))

    def chmod(self, path, mode):
        os.chmod(self._full(path), mode)

    def chown(self, path, uid, gid):
        os.chown(self._full(path), uid, gid)

    def truncate(self, path, length, fh=None):
        os.truncate(self._full(path), length)

    def utimens(self, path, times=None):
        os.utime(self._full(path), times)

    def open(self, path, flags):
        return os.open(self._full(path), flags)

    def create(self, path, mode, fi=None):
        return os.open(self._full(path), os.O_WRONLY | os.O_CREAT | os.O_EXCL, mode)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    def write(self, path, data, offset, fh):
        return os.pwrite(fh, data, offset)

    def flush(self, path, fh):
        if self.flush_errno:
            raise FuseOSError(self.flush_errno)

    def fsync(self, path, datasync, fh):
        os.fsync(fh)

    def release(self, path, fh):
        os.close(fh)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('backing')
    parser.add_argument('mountpoint')
    parser.add_argument('--flush-errno', type=int, default=0)
    parser.add_argument('--link-errno', type=int, default=0)
    arguments = parser.parse_args()
    # The kernel has applied the caller's umask already.
    os.umask(0)
    FUSE(Passthrough(os.path.realpath(arguments.backing), arguments.flush_errno, arguments.link_errno),
         arguments.mountpoint, foreground=True, nothreads=True)


if __name__ == '__main__':
    main()
