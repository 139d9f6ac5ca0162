// The login page: says why the last login was refused.
'use strict';
document.addEventListener('DOMContentLoaded', () => {
  const q = new URLSearchParams(location.search);
  if (q.has('failed')) document.getElementById('failed').hidden = false;
});
