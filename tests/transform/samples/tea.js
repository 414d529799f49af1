answer = ['tea', 6 * 7].join(':');
